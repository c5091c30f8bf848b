#include <gtest/gtest.h>
namespace dd { int engineVersion(); }
TEST(EngineVersionTest, BuildLinksTheEngineLibrary) { EXPECT_EQ(dd::engineVersion(), 1); }
