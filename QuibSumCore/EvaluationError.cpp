#include "QuibSumCore/EvaluationError.h"

#include "QuibSumCore/EngineMessages.h"

namespace quibsum {

std::string_view EvaluationError::text() const { return messages::of(kind); }

}  // namespace quibsum
