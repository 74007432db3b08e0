#include "effect/ModelQueries.h"

#include <atomic>
#include <stdexcept>

namespace Effect {

namespace {
std::atomic<const ModelQueries*> gQueries{nullptr};
}  // namespace

const ModelQueries* setModelQueries(const ModelQueries* queries) { return gQueries.exchange(queries); }

const ModelQueries& modelQueries() {
    const ModelQueries* queries = gQueries.load();
    if (!queries) throw std::logic_error("Effect::modelQueries: no model queries are installed.");
    return *queries;
}

}  // namespace Effect
