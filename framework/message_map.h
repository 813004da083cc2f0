// A message map is a static table of typed entries, tried in order. Each
// entry names what it matches (a notification code from a control, a
// WM_NOTIFY from a control, or a window message) and a member function with
// the signature of its kind; the entry's thunk unpacks the message
// parameters for it, so handlers never see WPARAM or LPARAM.
#pragma once

#include <windows.h>

#include <span>
#include <tuple>
#include <type_traits>

class CCmdTarget;

struct MessageMapEntry {
    UINT message;  // WM_COMMAND, WM_NOTIFY or the window message itself
    UINT code;     // notification code, for WM_COMMAND and WM_NOTIFY
    UINT id;       // control id, for WM_COMMAND and WM_NOTIFY
    LRESULT (*invoke)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

    bool Matches(UINT msg, WPARAM wParam, LPARAM lParam) const
    {
        if (msg != message)
            return false;
        if (msg == WM_COMMAND)
            return LOWORD(wParam) == id && HIWORD(wParam) == code;
        if (msg == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header && header->idFrom == id && header->code == code;
        }
        return true;
    }
};

using MessageMap = std::span<const MessageMapEntry>;

// Base of every class that has a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual MessageMap GetMessageMap() const { return {}; }
};

namespace message_map_detail {

template <class Member>
struct HandlerTraits;
template <class T, class R, class... Arguments>
struct HandlerTraits<R (T::*)(Arguments...)> {
    using Class = T;
    using First = std::tuple_element_t<0, std::tuple<Arguments..., void>>;
};

template <auto Handler>
auto& Target(CCmdTarget& target)
{
    return static_cast<typename HandlerTraits<decltype(Handler)>::Class&>(target);
}

}  // namespace message_map_detail

// A command from a control (BN_CLICKED, CBN_SELCHANGE, EN_CHANGE...):
// void Handler().
template <auto Handler>
constexpr MessageMapEntry MapCommand(UINT code, UINT id)
{
    return {WM_COMMAND, code, id, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
                (message_map_detail::Target<Handler>(target).*Handler)();
                return 0;
            }};
}

// A WM_NOTIFY from a control: void Handler(Info* info, LRESULT* result), where
// Info is the structure that comes with the code (NMHDR, NMITEMACTIVATE,
// NMLISTVIEW...). The handler sets the notification's result.
template <auto Handler>
constexpr MessageMapEntry MapNotify(UINT code, UINT id)
{
    return {WM_NOTIFY, code, id, [](CCmdTarget& target, WPARAM, LPARAM lParam) -> LRESULT {
                using Info = typename message_map_detail::HandlerTraits<decltype(Handler)>::First;
                LRESULT result = 0;
                (message_map_detail::Target<Handler>(target).*Handler)(reinterpret_cast<Info>(lParam), &result);
                return result;
            }};
}

// WM_SYSCOMMAND: void Handler(UINT id, LPARAM param).
template <auto Handler>
constexpr MessageMapEntry MapSysCommand()
{
    return {WM_SYSCOMMAND, 0, 0, [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) -> LRESULT {
                (message_map_detail::Target<Handler>(target).*Handler)(static_cast<UINT>(wParam), lParam);
                return 0;
            }};
}

// WM_PAINT: void Handler().
template <auto Handler>
constexpr MessageMapEntry MapPaint()
{
    return {WM_PAINT, 0, 0, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
                (message_map_detail::Target<Handler>(target).*Handler)();
                return 0;
            }};
}

// WM_QUERYDRAGICON: HCURSOR Handler().
template <auto Handler>
constexpr MessageMapEntry MapQueryDragIcon()
{
    return {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
                return reinterpret_cast<LRESULT>((message_map_detail::Target<Handler>(target).*Handler)());
            }};
}

// A private message whose parameters carry nothing: LRESULT Handler().
template <auto Handler>
constexpr MessageMapEntry MapMessage(UINT message)
{
    return {message, 0, 0, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
                return (message_map_detail::Target<Handler>(target).*Handler)();
            }};
}
