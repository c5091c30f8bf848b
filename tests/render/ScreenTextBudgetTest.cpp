// The bound on the texts that show at once (their vertices on the CPU and
// the GPU): checked without fonts, so no atlas is needed.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RenderTestSupport.h"
#include "render/text/ScreenText.h"
#include "tests/support/LogCapture.h"

namespace {
class ScreenTextBudgetTest : public RenderFixture {};
}  // namespace

// At most the budget's worth of texts hold their vertices at once: one more
// draws nothing, the first such says so in one row, and it shows once
// another text has gone.
TEST_F(ScreenTextBudgetTest, TextsPastTheBudgetDrawNothingAndSayItOnce) {
    LogCapture log;
    ScreenText::ResetBudget();
    const std::size_t before = ScreenText::LiveTexts();
    {
        ScreenText prototype;
        prototype.SetText("x");
        EXPECT_EQ(ScreenText::LiveTexts(), before) << "a text that never initialised holds no vertices";
    }
    std::vector<std::unique_ptr<ScreenText>> texts;
    for (std::size_t i = before; i < ScreenText::kMaxLiveTexts; ++i) {
        texts.push_back(std::make_unique<ScreenText>());
        texts.back()->SetText("x");
        texts.back()->Init();
    }
    EXPECT_EQ(ScreenText::LiveTexts(), ScreenText::kMaxLiveTexts);
    std::unique_ptr<ScreenText> refused[2];
    for (auto& text : refused) {
        text = std::make_unique<ScreenText>();
        text->SetText("over");
        text->Init();
        EXPECT_EQ(text->GetCharacterCount(), 0u);
        EXPECT_EQ(text->GetVertexBuffer(), nullptr);
    }
    EXPECT_EQ(ScreenText::LiveTexts(), ScreenText::kMaxLiveTexts);
    std::unique_ptr<ScreenText> copy(static_cast<ScreenText*>(texts.back()->Clone()));
    EXPECT_EQ(copy->GetCharacterCount(), 0u) << "a copy takes room of its own";

    texts.pop_back();
    refused[0]->Update(0.0f);
    EXPECT_EQ(refused[0]->GetCharacterCount(), 4u);
    EXPECT_EQ(ScreenText::LiveTexts(), ScreenText::kMaxLiveTexts);
    texts.clear();
    EXPECT_EQ(LogCapture::CountContaining(log.Messages(), "texts would show at once"), 1u);
}
