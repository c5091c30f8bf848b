// Screen text on the GPU: the atlas texture holds the CPU texels, a text's
// vertex buffer is made and filled once a device exists, and drawing it with
// the text technique puts its glyphs, upright, where its placement says.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "FontTestSupport.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "render/effect/EffectTable.h"
#include "render/frame/RenderDevice.h"
#include "render/mesh/VertexFormat.h"
#include "render/text/FontManager.h"
#include "render/text/ScreenText.h"
#include "tests/render/GraphicsTestRig.h"

namespace {

constexpr int kWidth = 128, kHeight = 64;

class ScreenTextGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        OpenWindow(kWidth, kHeight);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), kWidth, kHeight, &device, &swapChain, &error))
            << error;
        resources->SetDevice(device);
        renderDevice.SetDevice(device);
        loader->SetDevice(device);
    }
    void TearDown() override {
        fonts.reset();
        table.Release();
        renderDevice.SetDevice(nullptr);
        resources->SetDevice(nullptr);
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
    }

    // Draws the text as the renderer's text pass does for a screen-space
    // object at (x, y) under the default camera, and returns the back buffer.
    std::vector<u8> Draw(ScreenText& text, float x, float y) {
        table.Load(*loader, nullptr);
        auto target = device->CreateRenderTargetView(swapChain->GetBuffer());
        GpuRenderTargetView* targets[1] = {target.get()};
        device->OMSetRenderTargets(1, targets, nullptr);
        const float black[4] = {0, 0, 0, 1};
        device->ClearRenderTargetView(target.get(), black);
        const GpuViewport viewport{0, 0, kWidth, kHeight, 0, 1};
        device->RSSetViewports(1, &viewport);
        const VertexFormat& format = GetVertexFormat(kGeometryFormatRow);
        auto layout = device->CreateInputLayout(format.elements, format.elementCount,
                                                table.Technique(TechniqueId::TextTech)->GetPassByIndex(0));
        device->IASetInputLayout(layout.get());
        GpuBuffer* buffer = text.GetVertexBuffer();
        const std::uint32_t stride = 32, offset = 0;
        device->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
        device->IASetPrimitiveTopology(GpuTopology::TriangleList);

        D3DXMATRIX world, screenView, screenProjection, wvp;
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
        D3DXMatrixLookAtLH(&screenView, &eye, &at, &up);
        D3DXMatrixOrthoLH(&screenProjection, kWidth, kHeight, 1.0f, 2000.0f);
        // The default camera's view is the identity: its z translation is 0.
        D3DXMatrixTranslation(&world, x, y, ScreenText::ScreenSpaceDepth(0.0f));
        wvp = world * screenView * screenProjection;
        table.Variable(EffectVarId::guiWorldViewProj)->SetMatrix(&wvp._11);
        table.Variable(EffectVarId::guiDiffuseMap)->SetResource(text.GetTextureView());
        table.Variable(EffectVarId::alphaVal)->SetFloat(1.0f);
        table.Apply(TechniqueId::TextTech);
        device->Draw(static_cast<std::uint32_t>(6 * text.GetCharacterCount()), 0);
        std::vector<u8> bytes;
        swapChain->GetBuffer()->ReadBack(0, &bytes);
        EXPECT_EQ(device->DrainErrors(), 0u);
        return bytes;
    }

    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
    RenderDevice renderDevice;
    EffectTable table;
    ScopedEnv noSystemRoot{"SYSTEMROOT", nullptr};
    std::unique_ptr<FontManager> fonts = std::make_unique<FontManager>("", kDejaVuMono);
};

}  // namespace

TEST_F(ScreenTextGLTest, AtlasTextureHoldsTheRenderedTexels) {
    FontAtlas* atlas = fonts->GetAtlas("lucon.ttf", 16);
    GpuShaderResourceView* view = atlas->GetView();
    ASSERT_TRUE(view);
    EXPECT_EQ(atlas->GetView(), view);
    std::vector<u8> bytes;
    ASSERT_TRUE(view->Texture()->ReadBack(0, &bytes));
    EXPECT_TRUE(bytes == atlas->Texels());
}

TEST_F(ScreenTextGLTest, TextMadeBeforeTheDeviceGetsItsBufferAtItsNextUpdate) {
    renderDevice.SetDevice(nullptr);
    std::unique_ptr<ScreenText> text(fonts->CreateText("T", 1, "lucon.ttf", 24, true));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->GetVertexBuffer(), nullptr);
    renderDevice.SetDevice(device);
    text->Update(0.0f);
    ASSERT_NE(text->GetVertexBuffer(), nullptr);
    EXPECT_EQ(text->GetVertexBuffer()->GetDesc().byteWidth, 15360u);
    const std::vector<u8> pixels = Draw(*text, -20.0f, -10.0f);
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 128;
    EXPECT_GT(lit, 10);
}

// "T" in red at (-40, -10): its glyph lands right of x = 24 and above the
// baseline row 42, with its bar at the top (the texture is not upside down).
TEST_F(ScreenTextGLTest, DrawnTextSitsOnItsBaselineUprightInItsColour) {
    std::unique_ptr<ScreenText> text(fonts->CreateText("T", 1, "lucon.ttf", 24, true));
    ASSERT_TRUE(text && text->GetVertexBuffer());
    const std::vector<u8> pixels = Draw(*text, -40.0f, -10.0f);
    int minX = INT_MAX, maxX = -1, minY = INT_MAX, maxY = -1;
    std::vector<int> perRow(kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const u8* p = &pixels[(std::size_t(y) * kWidth + x) * 4];
            if (p[0] < 128) continue;
            EXPECT_LT(p[1], 64);
            EXPECT_LT(p[2], 64);
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            ++perRow[y];
        }
    ASSERT_GE(maxX, 0) << "nothing drawn";
    const FontGlyph& t = *text->GetAtlas()->Find('T');
    EXPECT_GE(minX, 24 + static_cast<int>(t.bitmapLeft) - 1);
    EXPECT_LE(maxX, 24 + static_cast<int>(t.bitmapLeft + t.width) + 1);
    EXPECT_LE(maxY, 42);
    EXPECT_GE(minY, 42 - static_cast<int>(t.bearingY) - 1);
    // The bar: the widest rows are at the top of the glyph.
    const int widest = static_cast<int>(std::max_element(perRow.begin(), perRow.end()) - perRow.begin());
    EXPECT_LE(widest, minY + 3);
}
