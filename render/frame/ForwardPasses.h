// The steps of the frame that draw straight onto the back buffer after the
// combine, with the user-interface effect: the sky box behind the scene, the
// models asked for this frame only, and the screen texts (persistent ones
// and those asked for this frame). Owned by the FramePipeline. Main thread.
#pragma once
#include <map>
#include <memory>

#include "core/Types.h"
#include "port/math/D3DX.h"

class FrameContext;
class GpuShaderResourceView;
class ScreenText;
class Transform;

class ForwardPasses {
public:
    // The sky box's diffuse slot is read as a cube; a plain 2-D texture there
    // (a missing sky file's stand-in) is shown through a cube of its colour.
    void DrawSkybox(const FrameContext& frame);
    // Draws and empties the per-frame model list.
    void DrawFrameModels(const FrameContext& frame) const;
    // That step's targets and states, and one object's model drawn with them.
    static void BindFrameModels(const FrameContext& frame);
    static void DrawFrameModel(const FrameContext& frame, u32 objectId);
    // Persistent texts, then the per-frame texts (emptied); ends with the
    // depth-off state set again.
    void DrawTexts(const FrameContext& frame) const;
    // That step's targets, states and technique drawn over the screen quad
    // with `atlas`, a texture of the font atlases' kind (format, sides of a
    // power of two, one level), so the driver builds what the texts draw with.
    static void WarmUpTexts(const FrameContext& frame, GpuShaderResourceView* atlas);

private:
    static void BindTexts(const FrameContext& frame);
    GpuShaderResourceView* CubeOf(const FrameContext& frame, GpuShaderResourceView* view);
    void DrawText(const FrameContext& frame, ScreenText& text, const D3DXMATRIX& worldViewProjection) const;

    // One-colour cubes made for 2-D textures met in the sky box's slot.
    std::map<const GpuShaderResourceView*, std::shared_ptr<GpuShaderResourceView>> cubes_;
};
