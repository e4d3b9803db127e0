#include <gtest/gtest.h>

#include <cstring>

#include "model/device_models.h"

namespace {

template <class T>
void ExpectMarked(const Fact<T>& fact, int model, const char* what)
{
    if (fact.origin == Origin::Given) {
        EXPECT_STREQ(fact.rule, "") << "model " << model << " " << what;
    } else {
        EXPECT_GT(std::strlen(fact.rule), 0u) << "model " << model << " " << what << " is derived by no rule";
    }
}

}  // namespace

// Every value is marked, and each derived one follows its rule.
TEST(DeviceModels, DerivedValuesFollowTheirRules)
{
    for (int model = 1; model <= kDeviceModels; ++model) {
        const DeviceModelFacts* f = DeviceModelFactsOf(model);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->model, model);
        ExpectMarked(f->outputs, model, "outputs");
        ExpectMarked(f->layoutGroup, model, "layout group");
        ExpectMarked(f->matrixAux34ByOption, model, "matrix AUX-3/AUX-4");
        ExpectMarked(f->mixerAux34ByOption, model, "mixer AUX-3/AUX-4");
        ExpectMarked(f->routingNoAux34, model, "routing without AUX-3/AUX-4");
        ExpectMarked(f->routingAux34, model, "routing with AUX-3/AUX-4");
        ExpectMarked(f->resetRouting, model, "reset routing");

        ASSERT_GE(f->layoutGroup.value, 0);
        ASSERT_LT(f->layoutGroup.value, kLayoutGroups);
        EXPECT_EQ(kLayoutGroupOutputs[f->layoutGroup.value], f->outputs.value) << "model " << model;
        ASSERT_NE(f->routingNoAux34.value, nullptr);
        ASSERT_NE(f->routingAux34.value, nullptr);
        // A model with one routing has the same row for both states of the option.
        if (f->routingAux34.origin == Origin::Derived) {
            EXPECT_EQ(f->routingAux34.value, f->routingNoAux34.value) << "model " << model;
        }
    }
    for (int code : {0, 9, 255, -1}) EXPECT_EQ(DeviceModelFactsOf(code), nullptr) << code;
}
