#include "apply_reply.h"

#include "text_field.h"

const char* TakeApplyReply(std::optional<std::string>& awaitedMac, const DISCOVERY_DATA& reply)
{
    if (!awaitedMac || *awaitedMac != ReadTextField(reply.macAddress))
        return nullptr;
    awaitedMac.reset();
    return ApplyResultText(reply.result);
}
