// The driver's commands, one function each; command_table.cpp holds their
// names, arguments and help. Each returns the members of its answer.
#pragma once

#include "args.h"
#include "command_support.h"
#include "json.h"

// Windows (commands_window.cpp)
Json CmdFind(Context& context, const Args& args);
Json CmdDescribe(Context& context, const Args& args);
Json CmdControl(Context& context, const Args& args);
Json CmdText(Context& context, const Args& args);
Json CmdSysMenu(Context& context, const Args& args);
Json CmdSysCommand(Context& context, const Args& args);

// Buttons, edits and keys (commands_input.cpp)
Json CmdClick(Context& context, const Args& args);
Json CmdCommand(Context& context, const Args& args);
Json CmdFocus(Context& context, const Args& args);
Json CmdType(Context& context, const Args& args);
Json CmdSetText(Context& context, const Args& args);
Json CmdKey(Context& context, const Args& args);

// Combo boxes (commands_combo.cpp)
Json CmdCombo(Context& context, const Args& args);
Json CmdSelect(Context& context, const Args& args);

// List views (commands_list.cpp)
Json CmdList(Context& context, const Args& args);
Json CmdListClick(Context& context, const Args& args);
Json CmdListDoubleClick(Context& context, const Args& args);
Json CmdListCheck(Context& context, const Args& args);
Json CmdListClickEmpty(Context& context, const Args& args);
Json CmdHeaderClick(Context& context, const Args& args);

// Message boxes and the about box (commands_boxes.cpp)
Json CmdMsgBox(Context& context, const Args& args);
Json CmdMsgBoxPress(Context& context, const Args& args);
Json CmdAbout(Context& context, const Args& args);
Json CmdAboutOk(Context& context, const Args& args);

// Waits (commands_wait.cpp)
Json CmdWaitWindow(Context& context, const Args& args);
Json CmdWaitRows(Context& context, const Args& args);
Json CmdWaitText(Context& context, const Args& args);
Json CmdWaitState(Context& context, const Args& args);
Json CmdWaitExit(Context& context, const Args& args);
