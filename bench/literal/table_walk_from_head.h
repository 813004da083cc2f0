// The discovery benchmark's baseline: its device table walks from the head
// for every position. The baseline's build puts this header in front of
// every source, so no source sees the table without it and none makes the
// program's walk from the cursor.
#pragma once

#include <cstdint>

#include "device_table.h"
#include "discovery_data.h"

template <>
inline CListVur<DISCOVERY_DATA>::Node* CListVur<DISCOVERY_DATA>::NodeAt(std::uint32_t position)
{
    Node* node = head;
    for (std::uint32_t at = 0; at < position; ++at)
        node = node->next;
    return node;
}
