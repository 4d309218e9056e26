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

ScopedListGroup::ScopedListGroup(int group) : m_previous(std::move(CurrentModelContext().CurrentListRow))
{
    CurrentModelContext().CurrentListRow = [group] { return group; };
}

ScopedListGroup::~ScopedListGroup() { CurrentModelContext().CurrentListRow = std::move(m_previous); }

int IdentityPayloadByte(int position)
{
    const uint8_t* payload = CurrentModelContext().IdentityPayload;
    if (payload == nullptr || position < 0 || position >= IdentityPayload::Size) return 0;
    return payload[position];
}
