// The full-screen steps of the frame, each one draw of the full-screen quad:
// the glow blur (Glow -> StagedBlur -> Glow), screen-space ambient occlusion
// into the SSAO target and its blur, and the combine of diffuse, light, glow
// and occlusion with the global light onto the back buffer. Owned by the
// FramePipeline. Main thread only.
#pragma once

class FrameContext;

class ScreenPasses {
public:
    // Fixed values of the combine when the announced GlobalLighting is gone.
    static constexpr float kFallbackAmbient = 0.9f;
    static constexpr float kFallbackIntensity = 0.2f;

    void BlurGlow(const FrameContext& frame) const;
    // With `inputsReady` (the lighting step's per-pixel positions and normals
    // made this frame) the occlusion reads them and tests against the bound
    // depth buffer, so pixels without a surface (the sky) are left open
    // without shading; otherwise it reads the depth buffer and the normals
    // and shades every pixel.
    void AmbientOcclusion(const FrameContext& frame, bool inputsReady) const;
    void BlurAmbientOcclusion(const FrameContext& frame) const;
    void Combine(const FrameContext& frame) const;
    // Sets the four global-light variables from the announced GlobalLighting,
    // from the fixed values when it is gone, and leaves them when none was
    // announced (part of the combine; a frame without it sets them alone).
    void SetGlobalLight(const FrameContext& frame) const;
};
