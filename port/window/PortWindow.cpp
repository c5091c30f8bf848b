#include "port/window/PortWindow.h"

#include "port/os/QuitSignals.h"
#include "port/window/Cursor.h"
#include "port/window/DisplayLoss.h"
#include "port/window/DisplayServer.h"
#include "port/window/KeyMapping.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

PortWindow* gCurrent = nullptr;

constexpr uint32_t kVkF4 = 0x73;
constexpr uint32_t kVkF10 = 0x79;

void AppendCodePoints(const char* utf8, std::vector<uint32_t>* out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        uint32_t c = *p;
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0) {
            ++p;
            continue;
        }
        c &= extra == 0 ? 0x7F : extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07;
        ++p;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++p) {
            if ((*p & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (*p & 0x3F);
        }
        if (ok) out->push_back(c);
    }
}

// Whether SDL_VIDEODRIVER's list (comma-separated, any letter case, as SDL
// reads it) holds the driver.
bool ListsDriver(const std::string& list, const std::string& driver) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma - start == driver.size() && SDL_strncasecmp(list.c_str() + start, driver.c_str(), driver.size()) == 0)
            return true;
        start = comma + 1;
    }
    return false;
}

// The displays the environment names ("DISPLAY=:0") for the drivers that
// SDL_VIDEODRIVER chooses (all when it chooses none), for the failure text;
// "" when it names none, or only displays of drivers not chosen (offscreen
// shows on none). SDL's driver list goes to *drivers when it is not chosen.
std::string NamedDisplays(std::string* drivers) {
    drivers->clear();
    const char* value = std::getenv("SDL_VIDEODRIVER");
    const std::string chosen = value ? value : "";
    std::string names;
    for (const auto& [variable, driver] : {std::pair{"DISPLAY", "x11"}, std::pair{"WAYLAND_DISPLAY", "wayland"}}) {
        const char* display = std::getenv(variable);
        if (!display || !*display || (!chosen.empty() && !ListsDriver(chosen, driver))) continue;
        names += (names.empty() ? "" : ", ") + std::string(variable) + "=" + display;
        if (chosen.empty()) *drivers += (drivers->empty() ? "" : ",") + std::string(driver);
    }
    return names;
}

}  // namespace

std::unique_ptr<PortWindow> PortWindow::Create(const char* title, int clientWidth, int clientHeight,
                                               std::string* error) {
    if (gCurrent) {
        *error = "a window already exists";
        return nullptr;
    }
    DisplayLoss::Install();
    // A display that is named but cannot be reached (its server not running,
    // or restarting) would make SDL fall back to its offscreen driver, and the
    // program would run unseen until killed: SDL is given only the drivers of
    // the displays named. SDL_VIDEODRIVER (offscreen for headless runs) and
    // an environment that names no display keep SDL's own choice. An empty
    // SDL_VIDEODRIVER chooses nothing either, but a hint of normal priority
    // gives way to it: this one overrides it (and is dropped again for a
    // later window whose environment chooses).
    std::string drivers;
    const std::string named = NamedDisplays(&drivers);
    if (!drivers.empty())
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = named.empty() ? std::string("SDL video: ") + SDL_GetError()
                               : "SDL video: cannot reach the display " + named + " (" + SDL_GetError() + ")";
        return nullptr;
    }
    // Video and the GL driver stay loaded for the rest of the process once
    // started: drivers keep state across windows, and unloading them mid-run
    // (a window made again after a failure, tests) only loses it.
    static bool pinned = false;
    if (!pinned) {
        pinned = true;
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        if (SDL_GL_LoadLibrary(nullptr) != 0) SDL_ClearError();
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_Window* window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, clientWidth,
                                          clientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) {
        *error = std::string("SDL window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // Closing the window is one request, which the program may ask about
    // before it ends, without an application quit behind it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    std::unique_ptr<PortWindow> result(new PortWindow());
    result->window_ = window;
    result->windowId_ = SDL_GetWindowID(window);
    DisplayLoss::Watch(window);
    DisplayServer::Current().TakeFocus(window);
    DisplayServer::Current().ClientSize(window, &result->announcedWidth_, &result->announcedHeight_);
    SDL_GetMouseState(&result->mouseX_, &result->mouseY_);
    gCurrent = result.get();
    ApplyCursorState();
    return result;
}

PortWindow::~PortWindow() {
    if (gCurrent == this) gCurrent = nullptr;
    // With its server gone, SDL would wait for ever for the window's end to
    // be confirmed: the window is left to the ending process.
    if (DisplayLoss::LostDisplay()) return;
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

PortWindow* PortWindow::Current() {
    return gCurrent;
}

uint64_t PortWindow::Handle() const {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(this));
}

PortWindow* PortWindow::FromHandle(uint64_t handle) {
    return gCurrent && gCurrent->Handle() == handle ? gCurrent : nullptr;
}

ClientRect PortWindow::GetClientRect() const {
    ClientRect rect;
    if (minimised_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED)) return rect;
    int w = 0, h = 0;
    DisplayServer::Current().ClientSize(window_, &w, &h);
    rect.right = w;
    rect.bottom = h;
    return rect;
}

void PortWindow::AnnounceSizeIfChanged() {
    const ClientRect rect = GetClientRect();
    // Minimised (perhaps before its event is pumped): that event announces it.
    if (rect.right == 0 && rect.bottom == 0) return;
    if (rect.right == announcedWidth_ && rect.bottom == announcedHeight_) return;
    announcedWidth_ = rect.right;
    announcedHeight_ = rect.bottom;
    WindowEvent e;
    e.kind = WindowEventKind::Resized;
    e.rect = rect;
    Push(e);
    KeepAnchoredPointer(rect);
    FollowPointer();
}

void PortWindow::AnchorPointer() {
    int x = 0, y = 0;
    const ClientRect rect = GetClientRect();
    pointerAnchored_ = DisplayServer::Current().PointerPosition(window_, &x, &y) && x >= rect.left && y >= rect.top &&
                       x < rect.right && y < rect.bottom;
    anchorX_ = x - rect.right / 2;
    anchorY_ = y - rect.bottom / 2;
}

void PortWindow::KeepAnchoredPointer(const ClientRect& rect) {
    if (!pointerAnchored_) return;
    pointerAnchored_ = false;
    const int x = rect.right / 2 + anchorX_, y = rect.bottom / 2 + anchorY_;
    if (x < rect.left || y < rect.top || x >= rect.right || y >= rect.bottom) return;
    keptX_ = x;
    keptY_ = y;
    keptUntilMs_ = SDL_GetTicks64() + kKeepAfterResizeMs;
    WarpToKeptPoint();
}

void PortWindow::WarpToKeptPoint() {
    int nowX = 0, nowY = 0;
    if (DisplayServer::Current().PointerPosition(window_, &nowX, &nowY) && nowX == keptX_ && nowY == keptY_) return;
    DisplayServer::Current().WarpPointer(window_, keptX_, keptY_);
}

bool PortWindow::RequestFullScreen(bool fullScreen) {
    if (fullScreen) placingUntilMs_ = 0;
    AnchorPointer();
    const bool made = DisplayServer::Current().RequestFullScreen(window_, fullScreen);
    if (!made) pointerAnchored_ = false;
    return made;
}

void PortWindow::FollowPointer() {
    int x = 0, y = 0;
    if (!DisplayServer::Current().PointerPosition(window_, &x, &y)) return;
    const ClientRect rect = GetClientRect();
    if (x < rect.left || y < rect.top || x >= rect.right || y >= rect.bottom) return;
    if (x == mouseX_ && y == mouseY_) return;
    mouseX_ = x;
    mouseY_ = y;
    WindowEvent e;
    e.kind = WindowEventKind::MouseMove;
    e.x = x;
    e.y = y;
    e.buttonFlags = MouseFlags();
    Push(e);
}

bool PortWindow::IsFullScreen() const {
    return DisplayServer::Current().IsFullScreen(window_);
}

// One axis of the new place: the old centre kept, then moved only as far
// as the frame must to stay inside the usable area; a frame larger than the
// area starts at its start.
int PortWindow::PlaceKeepingCentre(int oldStart, int oldSize, int newSize, int frameBefore, int frameAfter,
                                   int areaStart, int areaSize) {
    int start = oldStart + oldSize / 2 - newSize / 2;
    if (areaSize <= 0) return start;
    const int lowest = areaStart + frameBefore;
    const int highest = areaStart + areaSize - frameAfter - newSize;
    if (highest < lowest) return lowest;
    return start < lowest ? lowest : start > highest ? highest : start;
}

// With an old size of 0 the old start is the centre kept. The window is
// moved only when it is elsewhere, as the window system has it.
bool PortWindow::PlaceCentredOn(int centreX, int centreY, int width, int height) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    SDL_Rect area{0, 0, 0, 0};
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &area) != 0) area = SDL_Rect{0, 0, 0, 0};
    const int x = PlaceKeepingCentre(centreX, 0, width, left, right, area.x, area.w);
    const int y = PlaceKeepingCentre(centreY, 0, height, top, bottom, area.y, area.h);
    int nowX = 0, nowY = 0;
    DisplayServer::Current().ClientPosition(window_, &nowX, &nowY);
    if (nowX == x && nowY == y) return false;
    SDL_SetWindowPosition(window_, x, y);
    return true;
}

// The window manager gives the window its frame and its place before full
// screen a moment after the size comes, and may take it there again after
// it was placed: for a while the place is checked at every pump. A few moves
// at most, since SDL waits for each one and a manager may refuse them.
void PortWindow::PlaceIfBackFromFullScreen() {
    if (placeWhenWindowed_) {
        int width = 0, height = 0;
        DisplayServer::Current().ClientSize(window_, &width, &height);
        if (width != keptWidth_ || height != keptHeight_ || IsFullScreen()) return;
        placeWhenWindowed_ = false;
        placingUntilMs_ = SDL_GetTicks64() + kKeepAfterResizeMs;
        placesLeft_ = kMostPlacesAfterFullScreen;
    }
    if (placingUntilMs_ == 0) return;
    if (SDL_GetTicks64() >= placingUntilMs_ || placesLeft_ == 0) {
        placingUntilMs_ = 0;
        return;
    }
    if (PlaceCentredOn(keptCentreX_, keptCentreY_, keptWidth_, keptHeight_)) --placesLeft_;
}

void PortWindow::SetClientSize(int width, int height) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
    // The window stays centred on the same point of the screen, so what is
    // drawn about the client area's centre (a menu, the button just clicked)
    // stays under the pointer; it moves only to keep its frame on the screen.
    int x = 0, y = 0, oldWidth = 0, oldHeight = 0;
    DisplayServer::Current().ClientPosition(window_, &x, &y);
    DisplayServer::Current().ClientSize(window_, &oldWidth, &oldHeight);
    AnchorPointer();
    if (width == oldWidth && height == oldHeight) pointerAnchored_ = false;  // no size change will come
    SDL_SetWindowSize(window_, width, height);
    // In full screen the size waits for windowed, and the window manager
    // then puts the window back where it was before full screen, which the
    // new size may overhang: it is placed once it is back with that size.
    placeWhenWindowed_ = IsFullScreen();
    placingUntilMs_ = 0;
    keptCentreX_ = x + oldWidth / 2;
    keptCentreY_ = y + oldHeight / 2;
    keptWidth_ = width;
    keptHeight_ = height;
    if (!placeWhenWindowed_) PlaceCentredOn(keptCentreX_, keptCentreY_, width, height);
    SDL_ShowWindow(window_);
}

bool PortWindow::IsKeyHeld(uint32_t vk) const {
    switch (vk) {
        case 0x01:
            return (buttons_ & 1) != 0;
        case 0x02:
            return (buttons_ & 2) != 0;
        case 0x04:
            return (buttons_ & 4) != 0;
        case 0x10:
            return heldKeys_.count(0xA0) || heldKeys_.count(0xA1);
        case 0x11:
            return heldKeys_.count(0xA2) || heldKeys_.count(0xA3);
        case 0x12:
            return heldKeys_.count(0xA4) || heldKeys_.count(0xA5);
        default:
            return heldKeys_.count(vk) != 0;
    }
}

uint32_t PortWindow::MouseFlags() const {
    uint32_t flags = 0;
    if (buttons_ & 1) flags |= kMouseFlagLeft;
    if (buttons_ & 2) flags |= kMouseFlagRight;
    if (buttons_ & 4) flags |= kMouseFlagMiddle;
    if (IsKeyHeld(0x10)) flags |= kMouseFlagShift;
    if (IsKeyHeld(0x11)) flags |= kMouseFlagControl;
    return flags;
}

bool PortWindow::PollEvent(WindowEvent* out) {
    delivered_.reset();
    if (!pumpOpen_) DisplayLoss::CheckHeldError(window_);
    if (!pumpOpen_ && minimised_) WaitWhileMinimised();
    pumpOpen_ = true;
    SDL_Event event;
    while (pending_.empty() && SDL_PollEvent(&event)) Translate(&event);
    // A window manager may carry a request out after SDL reported it done,
    // and SDL then says nothing: the size is looked at once the queue is empty.
    if (pending_.empty()) {
        PlaceIfBackFromFullScreen();
        AnnounceSizeIfChanged();
    }
    const WindowEvent* next = pending_.empty() ? nullptr : &pending_.front();
    const uint32_t bit = next ? 1u << next->button : 0;
    // The end of a pump; a release of a button pressed in it waits for the next.
    if (!next || (next->kind == WindowEventKind::ButtonUp && (pressedThisPump_ & bit))) {
        pressedThisPump_ = 0;
        pumpOpen_ = false;
        return false;
    }
    if (next->kind == WindowEventKind::ButtonDown) pressedThisPump_ |= bit;
    *out = pending_.front();
    pending_.pop_front();
    if (out->kind == WindowEventKind::FilesDropped && !pendingDrops_.empty()) {
        delivered_ = std::move(pendingDrops_.front());
        pendingDrops_.pop_front();
        out->drop = &delivered_->view;
    }
    return true;
}

void PortWindow::WaitWhileMinimised() {
    SDL_Event event;
    while (pending_.empty() && !QuitSignalReceived())
        if (SDL_WaitEventTimeout(&event, kMinimisedWaitMs)) Translate(&event);
}

void PortWindow::PutBack(const std::vector<WindowEvent>& events) {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
        WindowEvent e = *it;
        e.drop = nullptr;  // drop records are not kept beyond their poll
        if (e.kind == WindowEventKind::FilesDropped) continue;
        pending_.push_front(e);
    }
}

void PortWindow::KeyEvent(const void* sdlEvent, bool down) {
    const SDL_KeyboardEvent& key = static_cast<const SDL_Event*>(sdlEvent)->key;
    uint32_t vk = KeyMapping::VirtualKeyFromScancode(key.keysym.scancode);
    if (vk == 0) return;
    WindowEvent e;
    e.kind = down ? WindowEventKind::KeyDown : WindowEventKind::KeyUp;
    e.vk = vk;
    e.repeat = down && key.repeat != 0;
    uint32_t generic = KeyMapping::GenericModifier(vk);
    bool genericBefore = generic && IsKeyHeld(generic);
    // A press is judged with the key down, a release with it still down.
    const bool altBefore = IsKeyHeld(0x12);
    const bool ctrlBefore = IsKeyHeld(0x11);
    if (down)
        heldKeys_.insert(vk);
    else
        heldKeys_.erase(vk);
    bool genericAfter = generic && IsKeyHeld(generic);
    if (generic && (genericBefore != genericAfter || e.repeat)) e.genericVk = generic;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0 || IsKeyHeld(0x12);
    e.altHeld = down && alt;
    const bool systemAlt = (down ? alt : altBefore || (key.keysym.mod & KMOD_ALT) != 0);
    const bool systemCtrl = (down ? IsKeyHeld(0x11) : ctrlBefore) || (key.keysym.mod & KMOD_CTRL) != 0;
    e.systemKey = vk == kVkF10 || (systemAlt && !systemCtrl);
    Push(e);
    if (!down) return;
    if (vk == kVkF4 && alt && e.systemKey) {  // Ctrl+Alt+F4 is an ordinary key
        WindowEvent quit;
        quit.kind = WindowEventKind::Quit;
        quit.closedAtMs = std::max<uint32_t>(1, key.timestamp);
        Push(quit);
        return;
    }
    // Control characters that come with key presses (no text-input event).
    uint32_t character = 0;
    switch (vk) {
        case 0x08:
            character = 8;
            break;
        case 0x09:
            character = 9;
            break;
        case 0x0D:
            character = 13;
            break;
        case 0x1B:
            character = 27;
            break;
        default:
            break;
    }
    if (character && !alt) {
        WindowEvent c;
        c.kind = WindowEventKind::Char;
        c.character = character;
        Push(c);
    }
}

void PortWindow::FinishDrop() {
    std::unique_ptr<DropRecord> drop = std::move(collecting_);
    if (!drop || drop->files.empty() || !acceptFiles_) return;
    for (const std::string& f : drop->files) drop->pointers.push_back(f.c_str());
    drop->view.fileCount = static_cast<int>(drop->files.size());
    drop->view.files = drop->pointers.data();
    drop->view.pointX = mouseX_;
    drop->view.pointY = mouseY_;
    ClientRect rect = GetClientRect();
    drop->view.pointInClient =
        mouseX_ >= rect.left && mouseX_ < rect.right && mouseY_ >= rect.top && mouseY_ < rect.bottom;
    pendingDrops_.push_back(std::move(drop));
    WindowEvent e;
    e.kind = WindowEventKind::FilesDropped;
    Push(e);
}

// Close, size, minimise / restore and focus of this window; other windows'
// events are dropped.
void PortWindow::WindowChange(const void* sdlEvent) {
    const SDL_WindowEvent& window = static_cast<const SDL_Event*>(sdlEvent)->window;
    if (window.windowID != windowId_) return;
    WindowEvent e;
    switch (window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            e.kind = WindowEventKind::Quit;
            e.closedAtMs = std::max<uint32_t>(1, window.timestamp);
            Push(e);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The size SDL reports is the one it asked for (full screen on a
            // server without a window manager never comes): the window's own.
            AnnounceSizeIfChanged();
            break;
        case SDL_WINDOWEVENT_MOVED:
            // A window manager may place the client area after its new size
            // came (a title bar put back on leaving full screen): the pointer
            // kept at a size change goes with it.
            if (keptUntilMs_ != 0 && SDL_GetTicks64() < keptUntilMs_) WarpToKeptPoint();
            FollowPointer();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            if (minimised_) break;
            minimised_ = true;
            e.kind = WindowEventKind::Resized;  // an empty client rectangle
            Push(e);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (!minimised_) break;
            minimised_ = false;
            e.kind = WindowEventKind::Resized;
            e.rect = GetClientRect();
            announcedWidth_ = e.rect.right;
            announcedHeight_ = e.rect.bottom;
            Push(e);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            e.kind = WindowEventKind::Activated;
            Push(e);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            e.kind = WindowEventKind::Deactivated;
            Push(e);
            break;
        default:
            break;
    }
}

// One Char event per character of one byte; control characters come with
// their key presses instead.
void PortWindow::TextInput(const char* utf8) {
    std::vector<uint32_t> codes;
    AppendCodePoints(utf8, &codes);
    for (uint32_t c : codes) {
        if (c < 32 || c == 127 || c > 255) continue;
        WindowEvent e;
        e.kind = WindowEventKind::Char;
        e.character = c;
        e.systemKey = IsKeyHeld(0x12) && !IsKeyHeld(0x11);
        Push(e);
    }
}

// Left, right and middle buttons (0, 1, 2); other buttons are dropped.
void PortWindow::MouseButton(const void* sdlEvent) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    uint32_t button = event.button.button == SDL_BUTTON_LEFT     ? 0
                      : event.button.button == SDL_BUTTON_RIGHT  ? 1
                      : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                 : 3;
    if (button > 2) return;
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    if (down) {
        buttons_ |= 1u << button;
        keptUntilMs_ = 0;  // the player has the pointer again
    } else {
        buttons_ &= ~(1u << button);
    }
    mouseX_ = event.button.x;
    mouseY_ = event.button.y;
    WindowEvent e;
    e.kind = down ? WindowEventKind::ButtonDown : WindowEventKind::ButtonUp;
    e.button = button;
    e.x = mouseX_;
    e.y = mouseY_;
    Push(e);
}

// A file joins the drop being collected; dropped text is ignored. The
// event's file text is freed here, as SDL asks.
void PortWindow::DroppedFile(const void* sdlEvent) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    std::string file = event.drop.file ? event.drop.file : "";
    SDL_free(event.drop.file);
    if (event.type == SDL_DROPTEXT || file.empty()) return;
    if (collecting_) {
        collecting_->files.push_back(file);
    } else {  // a drop without begin / complete: one file on its own
        collecting_ = std::make_unique<DropRecord>();
        collecting_->files.push_back(file);
        FinishDrop();
    }
}

void PortWindow::Translate(const void* sdlEvent) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    WindowEvent e;
    switch (event.type) {
        case SDL_QUIT:
            e.kind = WindowEventKind::Quit;
            Push(e);
            break;
        case SDL_WINDOWEVENT:
            WindowChange(&event);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            KeyEvent(&event, event.type == SDL_KEYDOWN);
            break;
        case SDL_TEXTINPUT:
            TextInput(event.text.text);
            break;
        case SDL_MOUSEMOTION:
            mouseX_ = event.motion.x;
            mouseY_ = event.motion.y;
            e.kind = WindowEventKind::MouseMove;
            e.x = mouseX_;
            e.y = mouseY_;
            e.buttonFlags = MouseFlags();
            Push(e);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            MouseButton(&event);
            break;
        case SDL_MOUSEWHEEL:
            e.kind = WindowEventKind::MouseWheel;
            e.wheel = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            e.x = mouseX_;
            e.y = mouseY_;
            Push(e);
            break;
        case SDL_DROPBEGIN:
            collecting_ = std::make_unique<DropRecord>();
            break;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            DroppedFile(&event);
            break;
        case SDL_DROPCOMPLETE:
            FinishDrop();
            break;
        default:
            break;
    }
}
