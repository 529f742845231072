// The model singleton can be built only once per run, so tests that need a
// model in its start-up state give the one object a new state instead.
#pragma once

#include "model/Dolmaris.h"

#include <memory>

inline Dolmaris& freshModel()
{
    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    return *model;
}
