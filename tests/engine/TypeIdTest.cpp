#include <gtest/gtest.h>

#include "core/TypeId.h"

namespace {
struct A {};
struct B {};
}  // namespace

TEST(TypeIdTest, IdsFollowFirstUseAndStayFixed) {
    IdCounter counter(1);
    const u32 b = TypeId<B>::Get();
    const u32 a = TypeId<A>::Get();
    EXPECT_EQ(b, 1u);
    EXPECT_EQ(a, 2u);
    EXPECT_EQ(TypeId<B>::Get(), b);
    EXPECT_EQ(counter.Peek(), 3u);
}
