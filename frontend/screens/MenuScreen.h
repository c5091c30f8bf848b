// The part every menu screen shares: an engine system that keeps the ids of
// the controls it handed to the GuiSystem and of the objects it made since
// its last Deactivate (the object list is also the drawing order), draws its
// objects once a frame while active, and is built anew by each Activate and
// taken down by each Deactivate. Also the recipes of a screen's pictures,
// buttons (picture, hover control, click control, sounds) and cursor, which
// the PauseMenu uses without the lists. Screens are created at start-up and
// owned by the Engine; their objects belong to the Overlord, their controls
// to the GuiSystem. Main thread only.
#pragma once
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/ISystem.h"
#include "port/math/D3DX.h"
#include "port/window/WindowEvent.h"

class Control;
class ControlAction;
class GameObject;
class Model;

// A mouse rectangle in pixels from the window centre, y down: left and top
// inside, right and bottom outside.
struct ButtonRect {
    float left;
    float top;
    float right;
    float bottom;
};

class MenuScreen : public ISystem {
public:
    static constexpr const char* kConfirmSound = "menu_confirm";  // a button clicked
    static constexpr const char* kSelectSound = "menu_select";    // the mouse entered a button
    static constexpr const char* kCursorTexture = "cursor";
    static constexpr float kCursorScale = 15.0f;
    // Half extents of the buttons of most screens.
    static constexpr float kButtonHalfWidth = 80.0f;
    static constexpr float kButtonHalfHeight = 40.0f;

    // name: the class name (a constant string). Inactive, not paused.
    MenuScreen(u32 typeId, const char* name);

    // kMsgClientRect: the window's client rectangle is kept.
    void HandleMessage(Message* message) override;
    // Draws every object of the object list once, in order.
    void Update(float dt) override;
    // Subscribes to the client rectangle.
    void Init() override;
    // Files the subscriptions again, then Build.
    void Activate() override;
    // Subscriptions dropped, then DestroyMenuObjects.
    void Deactivate() override;

    // Queues the removal of every control of the control list (the GuiSystem
    // deletes them in the next drain), unregisters every object of the object
    // list; both lists end empty.
    void DestroyMenuObjects();

    const std::vector<u32>& GetControlList() const { return controlList_; }
    const std::vector<u32>& GetObjectList() const { return objectList_; }
    const ClientRect& GetScreenRect() const { return screenRect_; }

    // ---- Recipes. Each made object is registered in the Overlord; each
    // control is owned by the GuiSystem once handed over.

    // A picture: a Quad model of the half extents and colour showing the
    // texture (base name in the "texture" folder; a missing file shows what
    // the renderer shows for one), with a screen-space Transform of the scale
    // at (x, y, 0) pixels from the window centre, y up; with no position the
    // prototype's is kept.
    static GameObject* MakePicture(const std::string& texture, float halfWidth, float halfHeight,
                                   const D3DXCOLOR& colour, float scale, const D3DXVECTOR3* position);
    // The same recipe with a mesh of the caller's (taken over): the model
    // shows the texture under a screen-space Transform.
    static GameObject* MakePicture(Model* model, const std::string& texture, float scale, const D3DXVECTOR3* position);
    // A picture of colour (0, 0, 0, 1) and scale 1 at (x, y).
    static GameObject* MakePicture(const std::string& texture, float halfWidth, float halfHeight, float x, float y);
    // The cursor picture (texture "cursor", 1 x 1, colour (0, 0, 0, 0),
    // scale 15, no position).
    static GameObject* MakeCursorPicture();
    // The cursor's control (group 0): every frame it puts the object at the
    // mouse and has it drawn; it never switches off.
    static Control* MakeCursorControl(u32 cursorObjectId);
    // Plays the sound event at once through the AudioSystem's subscription.
    static ControlAction* MakeSoundAction(const std::string& sound);
    // Toggles a GUI control group at once.
    static ControlAction* MakeGroupToggle(u32 sender, u32 group);
    // The two controls of a button, both in the group and handed to the
    // GuiSystem by owner.AddControl: the hover control (plays the select
    // sound when the mouse enters), then the click control (a left-button
    // release inside the rectangle) with the actions in order. Returns the
    // two ids in that order.
    static std::array<u32, 2> MakeButtonControls(ISystem& owner, GameObject* button, const ButtonRect& rect,
                                                 const std::string& normal, const std::string& hover, u32 group,
                                                 Control* click, std::initializer_list<ControlAction*> actions);

protected:
    // Makes the screen's objects and controls (Activate).
    virtual void Build() {}

    // The recipes with the lists: the object's id appended to the object list.
    GameObject* AddPicture(const std::string& texture, float halfWidth, float halfHeight, float x, float y);
    // A button picture (80 x 40) at (x, y) and its two controls; ids listed.
    GameObject* AddButton(const std::string& normal, const std::string& hover, float x, float y, const ButtonRect& rect,
                          u32 group, Control* click, std::initializer_list<ControlAction*> actions);
    // Two more controls on an existing button picture; ids listed and
    // returned (the hover control's, then the click control's).
    std::array<u32, 2> AddButtonControls(GameObject* button, const ButtonRect& rect, const std::string& normal,
                                         const std::string& hover, u32 group, Control* click,
                                         std::initializer_list<ControlAction*> actions);
    // The Back button of a screen opened from the start or the pause screen:
    // one picture with a click control per group (kBackToStart returns to
    // the start screen, kBackToPause to the pause screen), ids listed.
    void AddBackButtons();
    // The cursor picture and its control, both listed (the control is not
    // recorded as the system's own).
    void AddCursor();
    ControlAction* ConfirmSound() const { return MakeSoundAction(confirmSound_); }
    ControlAction* ToggleGroup(u32 group) const { return MakeGroupToggle(GetTypeId(), group); }

    std::vector<u32> controlList_;
    std::vector<u32> objectList_;
    std::string confirmSound_ = kConfirmSound;
    std::string selectSound_ = kSelectSound;
    ClientRect screenRect_{};
};

// Asks the GraphicsSystem (at once) to draw the object's Model in the next
// render.
void DrawObjectOnce(u32 objectId);

// A new object holding a ScreenText (80 characters at most, the font at the
// pixel size, the colour) and a screen-space Transform at the position offset
// by half the rectangle's width and height (integer halves; z not used). The
// caller lists it; it is registered.
GameObject* CreateScreenTextObject(const D3DXVECTOR3& position, const std::string& text, const std::string& font,
                                   const D3DXCOLOR& colour, const ClientRect& screen, int pixelSize);

// A level's scene file name: name + ".scn".
std::string MakeSceneFileName(const std::string& name);
