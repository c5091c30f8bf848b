#include "platform/WindowsSystem.h"

#include <cmath>
#include <string>

#include "engine/Engine.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "platform/InputSystem.h"
#include "port/math/D3DXVector.h"
#include "port/panels/TweakPanels.h"
#include "port/window/DisplayLoss.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowMessageBox.h"

namespace {

constexpr const char* kWindowTitle = "Q4nto";
// Sizes asked for through kMsgSetWindowSize are kept within what a window can have.
constexpr int kMaxClientSize = 16384;

int ClampSize(float value) {
    if (!std::isfinite(value) || value < 1.0f) return 1;
    if (value > static_cast<float>(kMaxClientSize)) return kMaxClientSize;
    return static_cast<int>(value);  // truncated toward zero
}

}  // namespace

WindowsSystem::WindowsSystem(u64 instanceHandle) : ISystem(TypeId<WindowsSystem>::Get()), instance_(instanceHandle) {
    SetName("WindowsSystem");
    InstallWindowMessageBox();
}

WindowsSystem::~WindowsSystem() {
    window_.reset();
}

u64 WindowsSystem::GetWindowHandle() const {
    return window_ ? window_->Handle() : 0;
}

bool WindowsSystem::IsFullScreen() const {
    return window_ && window_->IsFullScreen();
}

void WindowsSystem::Init() {
    Subscribe(kMsgSetWindowSize);
    std::string error;
    window_ = PortWindow::Create(kWindowTitle, kStartWidth, kStartHeight, &error);
    if (!window_) {
        // The program entry tells the user (it ends the run with status 1).
        windowError_ = error;
        Log("WindowsSystem: CreateWindow FAILED: %s", error.c_str());
        quitPosted_ = true;  // the first pump ends the frame loop
        return;
    }
    // Both announcements of Init go out with sender 0.
    ::Broadcast(kMsgWindowCreated, 0, WindowCreatedData{instance_, window_->Handle()});
    ::Broadcast(kMsgClientRect, 0, window_->GetClientRect());
}

void WindowsSystem::HandleMessage(Message* message) {
    const D3DXVECTOR2* size = message ? message->Read(kMsgSetWindowSize) : nullptr;
    if (!size || !window_) return;
    window_->SetClientSize(ClampSize(size->x), ClampSize(size->y));
}

void WindowsSystem::Quit() {
    if (Engine* engine = Engine::Instance()) {
        engine->SetActive(false);
        engine->Deactivate();
    }
}

void WindowsSystem::Update(float) {
    if (quitPosted_) {
        quitPosted_ = false;
        Quit();
    }
    if (!window_) return;
    if (const char* display = DisplayLoss::LostDisplay()) {
        // Nothing more comes from the window: the run ends after this frame.
        if (!displayLost_) {
            displayLost_ = true;
            Log("WindowsSystem: lost the display %s (its X server closed the connection); the run ends", display);
            Quit();
        }
        return;
    }
    WindowEvent event;
    bool closeAnswered = false;
    while (window_->PollEvent(&event)) {
        if (event.kind == WindowEventKind::Quit) {
            if (!closeAnswered && (!closeQuestion_ || AskAboutClose())) Quit();
            closeAnswered = true;
            continue;
        }
        if (TwEventWin(event)) continue;
        WindowProc(event);
    }
}

bool WindowsSystem::AskAboutClose() {
    window_->SetAnsweringClose(true);
    const bool mayQuit = closeQuestion_();
    window_->SetAnsweringClose(false);
    return mayQuit;
}

void WindowsSystem::SendChar(u32 character) {
    switch (character) {
        case 8:
            Broadcast(kMsgCharBackspace);
            break;
        case 13:
            Broadcast(kMsgCharReturn);
            break;
        case 10:
        case 27:
            Broadcast(kMsgCharEscape);
            break;
        default:
            Broadcast(kMsgCharTyped, static_cast<u8>(character & 0xFF));
            break;
    }
}

void WindowsSystem::WindowProc(const WindowEvent& event) {
    InputSystem* input = InputSystem::Instance();
    switch (event.kind) {
        case WindowEventKind::Resized: {
            const ClientRect& rect = event.rect;
            // A minimised window (width 0) logs a ratio that is not a number.
            Log("WINDOW RESIZE: %i, %i, AR: %f", rect.bottom, rect.right,
                static_cast<double>(rect.bottom) / static_cast<double>(rect.right));
            Broadcast(kMsgClientRect, rect);
            break;
        }
        case WindowEventKind::Activated:
            Broadcast(kMsgAppActivated, i32{1});
            break;
        case WindowEventKind::Deactivated:
            Broadcast(kMsgAppDeactivated, i32{0});
            break;
        case WindowEventKind::KeyDown:
            // Auto-repeat is not a new press; system keys (F10, keys with Alt)
            // are not the game's.
            if (event.repeat || event.systemKey || !input) break;
            if (event.genericVk) input->KeyPressed(event.genericVk);
            input->KeyPressed(event.vk);
            break;
        case WindowEventKind::KeyUp: {
            if (!input) break;
            // A system key's release only lets go of a key the game holds (one
            // pressed before Alt), so that none stays held for ever.
            auto release = [&](u32 vk) {
                if (!event.systemKey || input->HoldsKey(vk)) input->KeyReleased(vk);
            };
            if (event.genericVk) release(event.genericVk);
            release(event.vk);
            break;
        }
        case WindowEventKind::Char:
            if (event.systemKey) break;  // typed with Alt: a system character
            if (event.character == 9) {
                // A tab types four blanks, each offered to the panels first.
                WindowEvent blank = event;
                blank.character = 32;
                for (int i = 0; i < 4; ++i)
                    if (!TwEventWin(blank)) SendChar(32);
                break;
            }
            SendChar(event.character);
            break;
        case WindowEventKind::MouseMove:
            if (input) input->MouseMoved(event.x, event.y, event.buttonFlags);
            break;
        case WindowEventKind::ButtonDown:
            if (input && event.button < 2) input->ButtonDown(event.button, event.x, event.y);
            break;
        case WindowEventKind::ButtonUp:
            if (input && event.button < 2) input->ButtonUp(event.button);
            break;
        case WindowEventKind::FilesDropped:
            if (event.drop) Broadcast(kMsgFilesDropped, event.drop);
            break;
        case WindowEventKind::MouseWheel:
        case WindowEventKind::Quit:
            break;
    }
}
