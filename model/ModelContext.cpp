#include "model/ModelContext.h"

#include <utility>

ModelContext& CurrentModelContext()
{
    static ModelContext context;
    return context;
}

ScopedModelContext::ScopedModelContext(ModelContext context) : m_previous(std::move(CurrentModelContext()))
{
    CurrentModelContext() = std::move(context);
}

ScopedModelContext::~ScopedModelContext() { CurrentModelContext() = std::move(m_previous); }
