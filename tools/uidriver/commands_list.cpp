#include <string>

#include "commands.h"
#include "controls.h"
#include "errors.h"
#include "list_view.h"
#include "user_input.h"
#include "wait.h"

namespace {

Json PointJson(POINT point)
{
    return Json::Object().Set("x", point.x).Set("y", point.y);
}

// The column a row click aims at when none is given: the first one with
// text, since the first column may hold nothing but the check box.
int ColumnArg(const Args& args, size_t index, const ListView& list)
{
    if (args.Count() > index) {
        return NumberArg(args, index, "a column");
    }
    return list.ColumnCount() > 1 ? 1 : 0;
}

Json ClickRow(Context& context, const Args& args, bool doubleClick)
{
    ListView list(ControlOf(context, args, 0));
    RequireReachable(list.Handle());
    int row = NumberArg(args, 1, "a row");
    int column = ColumnArg(args, 2, list);
    POINT point = list.CellPoint(row, column);
    int posted = PostMouseClick(list.Handle(), point, doubleClick);
    return Json::Object()
        .Set("row", row)
        .Set("column", column)
        .Set("point", PointJson(point))
        .Set("settled", Settle(list.Handle(), posted));
}

}  // namespace

Json CmdList(Context& context, const Args& args)
{
    ListView list(ControlOf(context, args, 0));
    Json columns = Json::Array();
    for (const std::string& title : list.ColumnTitles()) {
        columns.Push(title);
    }
    int count = list.RowCount();
    int columnCount = list.ColumnCount();
    // A long list can be read in parts: every cell costs a round trip.
    std::optional<std::string> first = args.Value("--first");
    std::optional<std::string> limit = args.Value("--count");
    long long begin = first ? ParseInteger(*first, "a first row") : 0;
    long long end = limit ? begin + ParseInteger(*limit, "a row count") : count;
    if (begin < 0 || end < begin) {
        throw UsageError("--first and --count must not be negative");
    }
    Json rows = Json::Array();
    for (long long row = begin; row < end && row < count; ++row) {
        rows.Push(list.Row(static_cast<int>(row), columnCount));
    }
    return Json::Object().Set("id", IdOf(list.Handle())).Set("columns", columns).Set("count", count).Set("rows", rows);
}

Json CmdListClick(Context& context, const Args& args)
{
    return ClickRow(context, args, false);
}

Json CmdListDoubleClick(Context& context, const Args& args)
{
    return ClickRow(context, args, true);
}

Json CmdListCheck(Context& context, const Args& args)
{
    ListView list(ControlOf(context, args, 0));
    RequireReachable(list.Handle());
    int row = NumberArg(args, 1, "a row");
    list.RequireRow(row);
    std::string how = args.Count() > 2 ? args.At(2) : "toggle";
    if (how != "on" && how != "off" && how != "toggle") {
        throw UsageError("list-check takes on, off or toggle, not \"" + how + "\"");
    }
    std::optional<bool> before = list.Checked(row);
    if (!before) {
        throw DriverError("row " + std::to_string(row) + " of " + ControlName(list.Handle()) + " has no check box");
    }
    bool wasChecked = *before;
    bool wanted = how == "toggle" ? !wasChecked : how == "on";
    if (wanted == wasChecked) {
        return Json::Object().Set("row", row).Set("checked", wanted).Set("clicked", false);
    }
    POINT point = list.CheckBoxPoint(row);
    PostMouseClick(list.Handle(), point, false);
    DWORD timeout = TimeoutOf(context, args);
    std::optional<bool> now = before;
    if (!WaitUntil(timeout, [&] { return (now = list.Checked(row)) == wanted; })) {
        ThrowTimeout("the check box of row " + std::to_string(row) + " to change", timeout,
                     Json::Object().Set("checked", now ? Json(*now) : Json()));
    }
    return Json::Object().Set("row", row).Set("checked", wanted).Set("clicked", true).Set("point", PointJson(point));
}

Json CmdListClickEmpty(Context& context, const Args& args)
{
    ListView list(ControlOf(context, args, 0));
    RequireReachable(list.Handle());
    const bool twice = args.Count() > 1;
    if (twice && args.At(1) != "double")
        throw DriverError("list-click-empty takes \"double\" or nothing after the control");
    POINT point = list.EmptyPoint();
    int posted = PostMouseClick(list.Handle(), point, twice);
    return Json::Object().Set("point", PointJson(point)).Set("settled", Settle(list.Handle(), posted));
}

Json CmdHeaderClick(Context& context, const Args& args)
{
    ListView list(ControlOf(context, args, 0));
    RequireReachable(list.Handle());
    int column = NumberArg(args, 1, "a column");
    POINT point = list.HeaderPoint(column);
    int posted = PostMouseClick(list.Header(), point, false);
    return Json::Object()
        .Set("column", column)
        .Set("point", PointJson(point))
        .Set("settled", Settle(list.Header(), posted));
}
