// Camera: the component that tells the renderer where the eye is, where it
// looks and which way is up; usable by itself and the base of the path-follow,
// free-roam and isometric cameras. The renderer asks the active camera (the
// back of its camera stack) for GetPosition, GetLookAt and GetUp each frame.
// Created by the ObjectFactory (prototype, then clones), owned by its object.
// Main thread only.
#pragma once
#include "core/Types.h"
#include "engine/Component.h"
#include "port/math/D3DX.h"

class Transform;

// The state every camera carries; copied whole when a camera is cloned.
struct CameraState {
    D3DXVECTOR3 lookAtCache{0, 0, 1};   // last look-at point a subclass computed
    D3DXVECTOR3 localUp{0, 1, 0};       // up in the owner's frame
    D3DXVECTOR3 localForward{0, 0, 1};  // forward in the owner's frame
    D3DXVECTOR3 up{0, 1, 0};
    D3DXVECTOR3 camPos{0, 0, 0};  // the eye point; reflected "camPos"
    D3DXVECTOR3 forward{0, 0, 20};
    D3DXVECTOR3 lastPanStep{0, 0, 0};  // speed-scaled step of the latest pan
    D3DXVECTOR3 lookAt{0, 0, 1};
    i32 distance = 0;                                   // reflected, data only
    i32 elevation = 0;                                  // reflected, data only
    u32 switchValue = 1;                                // kMsgCameraSwitchOn, Off, kMsgCameraSwitch
    float panSpeed = 1.0f;                              // scales pan steps
    float fuzzyCamX = 0, fuzzyCamY = 0, fuzzyCamZ = 0;  // reflected "FUZZY_CAMX".. data only
    D3DXQUATERNION orientation{0, 0, 0, 1};             // rotates pan steps
};

class Camera : public Component<Camera>, protected CameraState {
public:
    // The prototype's constructor: TypeId<Camera>, forward (0, 0, 20).
    Camera() = default;

    static void Reflect(MemberList<Camera>& members);

    // The editor cameras' pan speed (world units per frame of a held key) is
    // scaled by the speed keys within this range: numpad + and - can neither
    // send the camera to infinity nor stop it.
    static constexpr float kMinPanSpeed = 0.001f;
    static constexpr float kMaxPanSpeed = 1000.0f;
    // speed x factor, kept within the range; a factor that is no finite
    // positive number changes nothing.
    static float ScaledPanSpeed(float speed, float factor);

    // kMsgCameraSwitchOn, kMsgCameraSwitchOff and kMsgCameraSwitch set the
    // switch; kMsgCameraPan pans; kMsgCameraRotate rotates; kMsgCameraLookAt
    // sets the look-at point; kMsgCameraPosition the eye point. Each ends with
    // Update(0), except pan and rotate. Others are ignored.
    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    // Subscribes to kMsgCameraSwitch, kMsgCameraPosition, kMsgCameraLookAt and
    // kMsgOverlayObject.
    void Init() override;
    void Shutdown() override;

    virtual D3DXVECTOR3 GetPosition();
    virtual D3DXVECTOR3 GetForward();
    virtual D3DXVECTOR3 GetMoveDelta();
    virtual D3DXVECTOR3 GetUp();
    virtual D3DXVECTOR3 GetLookAt();
    virtual D3DXQUATERNION GetOrientation();

    // Moves the eye by panSpeed x step turned by the inverse of the
    // orientation; Update(0); remembers the scaled step.
    void Pan(const D3DXVECTOR3& step);
    // orientation := normalise(Multiply(rotation, orientation)); Update(0).
    // Only pan steps follow the orientation; eye, look-at and up stay.
    void Rotate(const D3DXQUATERNION& rotation);
    // D3DXMatrixLookAtLH(GetPosition(), GetLookAt(), GetUp()).
    D3DXMATRIX BuildView();

    u32 GetSwitch() const { return switchValue; }

protected:
    // For subclasses: forward (0, 0, 1), everything else as the prototype.
    explicit Camera(u32 typeId);

    // The editor cameras' shared Init: Camera::Init, then pan, rotate and
    // speed (kMsgCameraPan, kMsgCameraRotate, kMsgCameraSpeed), then the
    // look-at cache zeroed; their Shutdown drops
    // those three again.
    void InitEditorCamera();
    void ShutdownEditorCamera();
    // Tells the editor's status lines where this camera is and its name:
    // kMsgEditorCameraPosition with GetPosition(), then kMsgEditorCameraName
    // with the name, at once.
    void ReportToEditor(const char* name);
    // The owner object's Transform, or null.
    Transform* OwnerTransform() const;

private:
    // Records members of the protected CameraState as members of Camera.
    friend class MemberList<Camera>;
};
