// The running program as the target of an input script: keys and the mouse
// enter SDL's event queue through the window's test injection (so the
// window's pump, the InputSystem and the GuiSystem see them as a player's),
// systems are found by name among the Engine's systems and their children,
// shots are the GraphicsSystem's back buffer saved as PNG files, panel
// entries are found where the panels last drew them and dialogs answer from
// the dialogs' script queue (a question box by a click on its button), places are read from the scene's objects. Owned
// by the scripted run; borrows the Engine. Main thread only.
#pragma once
#include <optional>
#include <string>

#include "app/ScriptTarget.h"

class Engine;
class ISystem;

class ProgramScriptTarget : public ScriptTarget {
public:
    // shotFolder: where shots go; empty makes every shot fail.
    ProgramScriptTarget(Engine& engine, std::string shotFolder);

    void Key(u32 vk, bool down) override;
    void MovePointer(int x, int y) override;
    void Button(u32 button, bool down) override;
    bool SystemFlags(const std::string& name, bool* active, bool* paused) override;
    bool SaveShot(const std::string& name, std::string* error) override;
    void Quit() override;
    bool PanelEntryCentre(const std::string& bar, const std::string& entry, int* x, int* y, std::string* why) override;
    void AnswerDialog(const std::string& path) override;
    void CancelDialog() override;
    void ClickAnswer(const std::string& label) override;
    void CloseWindow() override;
    bool PanelEntryHeld(const std::string& bar, const std::string& entry, std::string* why) override;
    int PanelScrollToward(const std::string& bar, const std::string& entry, int* x, int* y) override;
    void Wheel(int notches) override;
    void Type(const std::string& text) override;
    bool DropFiles(const std::vector<std::string>& files, std::string* why) override;
    bool ComponentPlace(const std::string& className, float place[3], std::string* why) override;

private:
    ISystem* FindSystem(const std::string& name) const;

    Engine& engine_;
    std::string shotFolder_;
    // Where the script last put the pointer; until it moves it, the window's.
    std::optional<std::pair<int, int>> pointer_;
};
