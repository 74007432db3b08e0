#include "effect/ModelQueries.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/TestModelQueries.h"

namespace {

TEST(ModelQueries, ScopesInstallAndPutTheOuterQueriesBack) {
    const Effect::ModelQueries* program = &Effect::modelQueries();
    EXPECT_EQ(program, &testModel());
    TestModelQueries inner;
    {
        const Effect::ModelQueriesScope scope(inner);
        EXPECT_EQ(&Effect::modelQueries(), &inner);
        {
            const Effect::ModelQueries* outer = Effect::setModelQueries(nullptr);
            EXPECT_EQ(outer, &inner);
            // Asking before the program installed any is a wiring fault, not an empty answer.
            EXPECT_THROW(Effect::modelQueries(), std::logic_error);
            Effect::setModelQueries(outer);
        }
        EXPECT_EQ(&Effect::modelQueries(), &inner);
    }
    EXPECT_EQ(&Effect::modelQueries(), program);
}

}  // namespace
