// The editor's status lines, drawn in red at the top of the window between
// the default bars' columns (a line too wide for that gap goes on in the row
// below): the active camera's name, position and speed, the
// object-manipulation mode, the last editor command's notice (for a few
// seconds) and the object a click would take. Also the editor's object copy
// and paste: Ctrl+C remembers the selected object, Ctrl+V adds a clone of it
// where it is, Ctrl+T copies its rotation and scale onto the selection. A
// child system of the Editor, made in its Init and deleted with it; it owns
// its text objects. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"
#include "engine/SceneSystem.h"
#include "port/math/D3DX.h"

class EditorUISystem : public SceneSystem {
public:
    // Text rows, each one screen text of at most 80 characters, 15 pixels apart.
    static constexpr int kRowCount = 6;
    // How long a notice stays on the status lines (seconds).
    static constexpr float kNoticeSeconds = 6.0f;
    // The most one frame counts of that time (seconds).
    static constexpr float kLongestNoticeFrame = 1.0f;

    EditorUISystem();
    // Unregisters the text objects.
    ~EditorUISystem() override;

    void HandleMessage(Message* message) override;
    // Both lines rebuilt and submitted for this frame.
    void Update(float dt) override;
    // Reads the client size and makes the two text objects.
    void Init() override;
    void Activate() override;
    void Deactivate() override;

    void OnSceneLoaded() override {}
    void OnSceneCleared() override {}
    void OnObjectAdded(u32, bool) override {}

    // Written by the Editor whenever its selection changes (0: none).
    void SetCurrentObject(u32 objectId) { currentObject_ = objectId; }
    u32 GetCurrentObject() const { return currentObject_; }
    u32 GetCopiedObject() const { return copiedObject_; }

    // A clone of the copied object (with the copied object's parent) in the
    // scene at the same place, with its proxy; its id, 0 when there is no
    // copied object.
    u32 PasteObject();
    // The copied object's rotation and scale onto the current object.
    void PasteTransform();

    // The lines as the next Update draws them: camera, mode (empty in camera
    // mode), the notice while it is fresh (else empty), the object under the
    // pointer when a click would select it (else empty, also over a panel).
    std::string FirstLine() const;
    std::string SecondLine() const;
    std::string NoticeLine() const;
    std::string PointerLine() const;
    // The rows as the next Update draws them: the non-empty lines in that
    // order, each cut into as many rows as the gap between the bars needs.
    std::vector<std::string> Rows() const;
    u32 GetFirstTextObject() const { return rows_[0]; }
    u32 GetSecondTextObject() const { return rows_[1]; }
    const std::vector<u32>& GetRowTextObjects() const { return rows_; }
    // The client x (pixels from the left edge) where the rows start, and the
    // pixels a row may take from there.
    float RowLeft() const;
    float RowWidth() const;
    // The text's width in pixels in the rows' font (0 without its glyphs).
    float TextWidth(const std::string& text) const;
    float GetCameraSpeed() const { return cameraSpeed_; }

private:
    // Places the text objects for the client size.
    void PlaceTexts();
    // The line cut at ", ", "; " or blanks into pieces that fit a row.
    std::vector<std::string> Wrap(const std::string& line) const;

    std::vector<u32> rows_ = std::vector<u32>(kRowCount, 0u);  // text objects, top row first
    D3DXVECTOR3 cameraPosition_{0, 0, 0};
    std::string cameraName_ = "Unknown";
    bool rotating_ = false;
    bool objectMode_ = false;  // the object keys are on (else the camera's)
    float cameraSpeed_ = 1.0f;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    u32 copiedObject_ = 0;
    u32 currentObject_ = 0;
    u32 pointedObject_ = 0;  // the picked object, from the picking
    std::string notice_;
    float noticeAge_ = 0.0f;  // seconds the notice has been shown
};
