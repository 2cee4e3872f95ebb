// The engine header compiled as C++ must lay the records out byte for byte as C does.
#include "LayoutFacts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

#define FACT_SIZE(type) {#type, sizeof(type)},
#define FACT_OFFSET(type, field) {#type "." #field, offsetof(type, field)},

TEST(LumacoreHeader, RecordLayoutIsTheSameInCAndCpp)
{
    const std::vector<LayoutFact> fromCpp = {LUMACORE_LAYOUT_FACTS(FACT_SIZE, FACT_OFFSET)};
    size_t count = 0;
    const LayoutFact *fromC = lumacoreLayoutFromC(&count);
    ASSERT_EQ(count, fromCpp.size());
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(std::string(fromC[i].what), fromCpp[i].what);
        EXPECT_EQ(fromC[i].value, fromCpp[i].value) << fromCpp[i].what;
    }
}

}  // namespace
