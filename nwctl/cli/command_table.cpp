// nwctl's commands, one entry each: adding a command is an entry here and
// its cmd_*.cpp file. The entries' order is the program's help's.
#include "cli/command_table.h"

#include "cli/args.h"

// Each in its cmd_*.cpp file.
int RunSearch(const Invocation& invocation);
int RunAdapters(const Invocation& invocation);
int RunSet(const Invocation& invocation);
int RunReboot(const Invocation& invocation);
int RunReset(const Invocation& invocation);
int RunPlan(const Invocation& invocation);
int RunCheck(const Invocation& invocation);
int RunProbe(const Invocation& invocation);
int RunReport(const Invocation& invocation);
int RunWatch(const Invocation& invocation);

namespace {

const std::initializer_list<const char*> kSearching = {"--adapter", "--rounds"};
const std::initializer_list<const char*> kSending = {"--user", "--password-file", "--yes"};

const char kSearchHelp[] = R"(usage: nwctl search [--adapter NAME|ADDRESS|all] [--rounds N]
                    [--format table|csv|json] [--columns LIST | --wide]

Sends the search request N times (default 5) a second apart from the
adapter and prints every device that answered, once per MAC and IP pair.
--adapter all searches from every adapter at once; the adapter column says
where each device answered. Default: the first adapter nwctl adapters lists.

The table shows mac, ip, mode, product and firmware, to fit a terminal 80
columns wide; --wide shows every field. On a terminal the table fits its
width (COLUMNS, where set, says it): the longest of product, maker,
firmware, name and adapter are cut, ending in ~; with --wide, or to a file
or a pipe, every text is whole. CSV and JSON have every field. The CSV
output, edited, is a plan (nwctl plan --help).
--columns LIST chooses the fields and their order, in any format: field
names (nwctl --help lists them) joined by commas, such as mac,ip,name.
In the table an empty text shows as -; CSV and JSON leave it empty.
In CSV a text that starts with =, +, -, @, a tab or a carriage return is
written after a single quote, so that a spreadsheet shows it as text
instead of running it as a formula.

While it runs, standard error shows the round and the number of devices
found so far when that is a terminal. When the receive queue was full and
replies were lost, nwctl says how many (on Linux): a device missed in one
round is usually heard in the next, so search with more --rounds.
Device texts are escaped: bytes outside printable ASCII as \xNN and \ as
\\ in the table and CSV; in JSON each byte is the character of the same
number, controls escaped.

exit status: 0 devices found; 9 no device answered (standard error names
the likely causes); 2 bad arguments; 1 network, or the output could not be
written.
)";

const char kAdaptersHelp[] = R"(usage: nwctl adapters [--loopback]

Lists the adapters with an IPv4 address that nwctl can search from: name,
address, mask. The loopback adapter only with --loopback.
)";

const char kSetHelp[] = R"(usage: nwctl set MAC [--ip A] [--mask M] [--gateway G] [--dns D]
                 [--dhcp|--static] [--web-port P] [--control-port P]
                 [--video-port P] [--audio-transmit-port P]
                 [--audio-receive-port P] --user U [--password-file FILE]
                 [--timeout S] [-y|--yes] [--unprobed-ok]
                 [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the device by a fresh search, sends it the Save record that the
window program sends (settings not named keep the device's values), waits
up to --timeout seconds (default 5) for its answer and prints the answer's
text. MAC: 00:1A:2B:3C:4D:5E, 00-1A-2B-3C-4D-5E, 001A.2B3C.4D5E or
001A2B3C4D5E, either case.

A set is a plan of one device: before anything is sent it is held to the
plan's rules (nwctl plan --help), another host answering for the address
the device would have among them, and refused with every problem named.
An address it moves onto that could not be probed is one of them: another
host may hold it (the address it keeps puts nobody new on it).
--unprobed-ok takes it as free, and standard error says so.
A device whose mode is neither static nor dhcp needs --static or --dhcp.
With nothing to change, nothing is sent.

exit status: 0 Apply, or nothing to change; 6 problems found (an address
not probed among them, without --unprobed-ok), nothing sent; 11 Failed; 12 Failed. Invalid address; 13 Failed.
Invalid port; 14 Failed. Invalid config; 15 Failed. login failed; 16 a
result without a text; 4 no answer in time; 3 the device did not answer the
search (or answered from two addresses); 5 not confirmed; 2 bad arguments;
1 network, the addresses could not be probed, or the output could not be
written.
)";

const char kRebootHelp[] = R"(usage: nwctl reboot MAC... --user U [--password-file FILE] [-y|--yes]
                    [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a reboot, 10 ms apart,
after confirmation. Devices do not answer a reboot; nwctl prints what it
sent to whom and says that it is not confirmed: a device restarting does
not answer a search until it is up again. If a MAC does not answer the
search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network, or the output could not be written.
)";

const char kResetHelp[] = R"(usage: nwctl reset MAC... --user U [--password-file FILE] [-y|--yes]
                   [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a factory reset, 10 ms
apart, after confirmation. Devices do not answer it; nwctl prints what it
sent to whom and says that it is not confirmed: a device restarting does
not answer a search until it is up again. If a MAC does not answer the
search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network, or the output could not be written.
)";

const char kPlanHelp[] = R"(usage: nwctl plan FILE.csv [--apply --user U [--password-file FILE]
                  [--timeout S] [-y|--yes]] [--unprobed-ok]
                  [--adapter NAME|ADDRESS|all] [--rounds N]
       nwctl plan --assign FIRST_ADDRESS [--mask M] [--gateway G] [--dns D]
                  [--product TEXT] [--unprobed-ok] [--adapter NAME|ADDRESS|all]
                  [--rounds N]

A plan is a CSV file with a header line: a mac column and any of ip, mask,
gateway, dns, mode, web_port, control_port, video_port,
audio_transmit_port, audio_receive_port; a blank cell keeps the device's
value. The other columns of a search's CSV (https, product, maker,
firmware, name, adapter) are ignored, so an edited search --format csv is
a plan; any other column is refused, naming the nearest known one.

Without --apply (a dry run) nwctl searches, probes who answers for the
addresses the devices would have (ARP), and prints, for every device, its
changes from the current values, and every problem: a MAC not found or
answering from two addresses, a MAC planned twice, two devices planned onto
one address, an address used by a device outside the plan or by this
computer, an address another host answers for ("198.51.100.31 is planned
for 00:1A:2B:00:00:05 but is in use by 02:00:5E:10:00:07"; a device
answering for its own address is none, nor are the plan's devices, which
leave theirs),
an address no device can have (0.0.0.0/8, loopback, multicast, the
subnet's network or broadcast address), an address, mask, gateway or DNS
that is not valid, a gateway outside the subnet, a mode neither static nor
dhcp, a port of 0 or two ports alike (which the device refuses), and an
address a device moves onto (not the one it keeps) that could not be
probed ("could not be probed (WHY): whether
another host holds it is unknown"), with the reason: off every adapter's
subnet without the raw packet right, SendARP not available (Wine), ...
--unprobed-ok takes such addresses as free and says which on standard
error.

A device moves onto an address only after every device that holds it has
left it, so the Saves go in that order, and the dry run says where it
differs ("order: line 2 after line 3: 00:1A:2B:00:00:01 moves onto
198.51.100.130 once 00:1A:2B:00:30:01 has left it"). Devices that wait for
each other in a circle (two that swap addresses, or more) are untied by the
first of them in the plan going through a temporary address first, chosen
as --assign chooses addresses (in the device's subnet, free of hosts as the
probe found it, neither planned nor used by a found device nor this
computer's) and named in the dry run ("order: line 2: ... goes through
198.51.100.3 first: ..."); a circle with no free address in its subnet is a
problem, and so is a temporary address that could not be probed, unless
--unprobed-ok.

With --apply it refuses while a problem stands; else, after confirmation,
it sends each device its Save record, one at a time in that order, waits
for each answer (--timeout, default 5 s), searches again, probes the
addresses the devices show and checks that every device shows its planned
values and that no other MAC answers for its address, to the probe or to
the search ("NOT verified: ... is in use by ... too"); a device at an
address that could not be probed is "verified, address not probed", and
the summary counts them ("13 of 14 devices applied and verified, 13 of them
at addresses that could not be probed"). A Save that fails (or gets no
answer) holds back every Save that waits for its device to leave: those
are not sent ("not sent: 00:1A:2B:00:30:01 has not left 198.51.100.130 ..."
with that Save's answer), and the summary names them. On a terminal a
count shows how far it has got.

Ctrl-C or SIGTERM ends the run after the Save in flight: no other Save is
sent, its answer is waited for (within --timeout), the audit log gets an
"interrupted" line, and standard error says how far it got ("interrupted
after 2 of 20; not sent: ..."); nothing is verified. A second Ctrl-C ends
it at once; every audit line written so far stays.

The audit log, JSON lines beside the plan file (named after it and the
time), has a line for each thing as it happens, written at once so that a
run cut short keeps it: each Save sent (event "sent", with the values
before and those sent; "not sent" when it could not leave or was held
back, with the reason and, for one held back, "waits_for": the MAC of the
device that did not leave), each answer ("answer": its text and code, or
"no answer"), each device with nothing to change ("unchanged"), each
verification ("verify", with "probed": whether its address was probed, and
"in_use_by": the other MACs that answer for the device's address, null
when it was not probed and the search heard no other), and a run ended by
Ctrl-C or SIGTERM ("interrupted": how many devices were sent their Saves,
of how many, and "not_sent": the MACs of the others). A Save to a
temporary address is logged as any other. Every line but "interrupted" has
the device's MAC, every line the time; none has a password or digest.

--assign writes a plan on standard output: the devices found (those whose
product name holds TEXT, in any case, with --product) get consecutive
addresses from FIRST_ADDRESS in MAC order, inside FIRST_ADDRESS's subnet by
the mask each device will have (--mask, else its own), skipping the
subnet's network and broadcast addresses, this computer's addresses, every
address that a found device outside the plan uses, the gateway's and the
DNS server's, and every address another host answers for: it probes the
addresses it gives and gives again until every one is known to be free or
could not be probed, and names each it skipped on standard error
("skipped 198.51.100.31: in use by 02:00:5E:10:00:07"). A device now in
DHCP mode gets mode static, with a note on standard error. The plan is
written only when its own dry run would pass; otherwise every problem is
named and nothing is written: an address it would give that could not be
probed is such a problem, unless --unprobed-ok takes it as free.

exit status: 0 no problems (with --apply: all applied and verified); 6
problems found (with --apply: refused, nothing sent), an address not
probed among them without --unprobed-ok, or --assign ran out of addresses,
kept finding them in use, or would write a plan with problems; 7 a device
failed, did not answer, was held back or does not show its planned values,
another host or device answers for its address, or the audit log could not
be written; 17 all applied and verified, but without --unprobed-ok some at
an address that could not be probed (one they keep, or one the plan did
not give, such as DHCP's); 130 ended by Ctrl-C or SIGTERM; 9 the plan names no device, no
device answered, or none matched --product; 5
not confirmed; 2 bad arguments or plan file; 1 network, the addresses
could not be probed, or the output could not be written.
)";

const char kCheckHelp[] = R"(usage: nwctl check EXPECTED.csv [--min-firmware-date YYYYMMDD]
                   [--format table|json] [--adapter NAME|ADDRESS|all] [--rounds N]

Compares the expected devices (a CSV with a mac column and, if it likes,
an ip column) with a fresh search and a probe (ARP) of the addresses they
and the found devices use, and reports: missing devices, devices answering
at another address than expected (wrong-address), unexpected devices,
addresses the search found answered by two MACs or used by this computer
(conflict), addresses that two MACs or more answer for in the probe, ours
or not (ip-conflict), a MAC answering from two addresses (duplicate-mac)
and, with --min-firmware-date, firmware dated before it by the device
list's rule (the number after the last _ of the version; firmware without a
date counts as older). Addresses that could not be probed are said once on
standard error; with nothing else to report, check says which and why
("nothing to report, but 1 address could not be probed (...): ...") and
exits 17: they are not known to be fine. In the table a kind found on more than 3 devices (other
than a conflict) is one line with the count and the first MACs, after the
rarer findings; --format json lists every finding.

exit status: 0 nothing to report, every address probed; 8 something
reported; 17 nothing else to report, but some addresses could not be
probed; 9 no device answered the search; 2 bad arguments or file; 1
network, the addresses could not be probed, or the output could not be
written.
)";

const char kProbeHelp[] = R"(usage: nwctl probe ADDRESS|FIRST-LAST|NETWORK/PREFIX...
                   [--format table|csv|json] [--adapter NAME|ADDRESS|all]

Asks the LAN who answers for each address: any host that holds it, not
only devices that answer the search (a PC, a printer, another maker's
camera). Operands: dotted addresses (198.51.100.10), ranges
(198.51.100.10-198.51.100.40) and networks (198.51.100.0/24, without its
network and broadcast addresses); at most 65536 addresses in all.

Prints each address with its state and the MACs that answered: used (one
MAC), conflict (two or more), free (nobody answered) or not-probed. This
computer's own addresses show its MAC as "this computer" in the table; CSV
and JSON keep the MAC and name it once more as this_computer (blank, or
null, for other addresses). A probe that takes more than a second shows
on standard error, when that is a terminal, how many addresses it has
asked about.

On Linux with the raw packet right (root, or cap_net_raw) nwctl sends ARP
probes that carry no address of its own, as a host checks an address
before it takes it, so every host that holds an address answers, on
whatever subnet, and every MAC that answers is shown. All addresses are
probed together, three times 0.2 s apart for those not answered yet, then
answers are awaited for a second. Without that right, and on Windows, it
asks the system's own address resolution, which reaches only addresses on
an adapter's subnet and keeps one MAC per address; standard error says
once which addresses could not be probed, why (on Windows: not on-link
from any adapter, or SendARP not available, as under Wine, whose SendARP
is a stub) and how to grant the right.

exit status: 0 every address probed, no conflict; 8 an address answered by
two or more MACs; 17 some addresses could not be probed (no conflict among
the rest); 2 bad arguments; 1 network, or the output could not be
written.
)";

const char kReportHelp[] = R"(usage: nwctl report -o FILE [--site NAME] [--inventory FILE] [--audit LOG...]
                    [--min-firmware-date YYYYMMDD] [--format html|json]
                    [--adapter NAME|ADDRESS|all] [--rounds N]

Writes a handover report of the site to FILE (-o FILE or --output FILE):
one HTML page that needs nothing else (no script, no fonts or pictures
from elsewhere; it prints on A4), or with --format json the same content
as JSON. It searches, probes who answers for each address of the
adapter's subnet, and shows: the site's name, the time and this
computer's adapter; the devices by model, by firmware date and by address
mode; every device with every field, by address; the findings of nwctl check (with --inventory FILE:
missing and unexpected devices; conflicts; with --min-firmware-date, old
firmware) and devices still on a factory port (web 80, control 30001, video
30002, audio 30003 and 30004); a map of the subnet's addresses (devices,
other hosts that answered the probe, free, not probed: the map says when
addresses could not be probed, and why), at most 1024 of them around this
computer's address; the firmware dates as a chart; and, with --audit, each
change that plan --apply logged: before and after, time, the device's
answer and whether the search after it showed the change.
--audit takes every word up to the next option, so site-*.audit.jsonl
gives it every log; a line of a log that is not an audit line is named on
standard error and in the report, and skipped.
Device texts are escaped as in the table and CSV (bytes outside printable
ASCII as \xNN, \ as \\), then as HTML text; in JSON as search writes
them. FILE is written whole or not at all: a new file beside it takes its
name once complete. Only a regular file that may be written is replaced:
a device, a pipe, a socket, a link, a folder or a read-only file is
refused. -o - writes the report on standard output.

exit status: 0 written; 9 no device answered the search (the report is
written and says so); 2 bad arguments or file, or FILE cannot be written
or is not a regular file; 1 network, or the report could not be written
once complete.
)";

const char kWatchHelp[] = R"(usage: nwctl watch [--interval S] [--default-ip A] [--format table|lines|jsonl]
                   [--adapter NAME|ADDRESS|all]

Searches again and again, a search every --interval seconds (default 5,
from 1 to 3600; a search of one round up to 4.9 s, two up to 7.4 s, else
three), and says what changed, an event at a time:
  appeared        a device answered for the first time
  gone            a device did not answer two searches in a row (with the
                  time it was last seen)
  back            a device that was gone answers again
  moved           a device (the same MAC) answers at another address; when
                  that is the address it had when first seen, or the
                  --default-ip address, "back on a factory default?"
  shared-address  two devices or more answer at one address
The first search reports every device it finds as appeared.

On a terminal a table of the devices (state present, missed or gone, and
when last seen) is redrawn in place after each search, the events above
it (on Windows, a console that acts on escape sequences, Windows 10 or
later; Wine's console gets lines). Otherwise, and with --format lines, each event is a line that starts
with its time (UTC); with --format jsonl each is a JSON object on a line
of its own: time, event, mac, ip, and previous_ip and factory_default
(moved), previous_ip and last_seen (back), last_seen (gone), macs
(shared-address). Device texts are escaped as in search.

Ctrl-C (or SIGTERM) ends it after the search under way: a summary follows,
the searches done, the devices seen and the events of each kind (in JSON
Lines an object with "event": "summary"). A second Ctrl-C ends it at once.

exit status: 0 ended by Ctrl-C or SIGTERM; 2 bad arguments; 1 network, or
the output could not be written.
)";

const CommandEntry kEntries[] = {
    {"search",
     RunSearch,
     "search      list the devices that answer",
     kSearchHelp,
     Operands::None,
     nullptr,
     {kSearching, {"--columns", "--wide"}},
     {OutputFormat::Table, OutputFormat::Csv, OutputFormat::Json},
     nullptr},
    {"adapters",
     RunAdapters,
     "adapters    list the network adapters nwctl can search from",
     kAdaptersHelp,
     Operands::None,
     nullptr,
     {{"--loopback"}},
     {},
     nullptr},
    {"set",
     RunSet,
     "set MAC     change one device's address settings and ports",
     kSetHelp,
     Operands::OneMac,
     "the device's MAC address",
     {kSearching,
      kSending,
      {"--ip", "--mask", "--gateway", "--dns", "--dhcp", "--static", "--web-port", "--control-port", "--video-port",
       "--audio-transmit-port", "--audio-receive-port", "--timeout", "--unprobed-ok"}},
     {},
     CheckSetArguments},
    {"reboot",
     RunReboot,
     "reboot MAC...   restart devices",
     kRebootHelp,
     Operands::Macs,
     "the MAC address of every device",
     {kSearching, kSending},
     {},
     nullptr},
    {"reset",
     RunReset,
     "reset MAC...    return devices to their factory settings",
     kResetHelp,
     Operands::Macs,
     "the MAC address of every device",
     {kSearching, kSending},
     {},
     nullptr},
    {"plan",
     RunPlan,
     "plan FILE   check a plan for many devices; with --apply, carry it out\n"
     "plan --assign FIRST_ADDRESS   write a plan of consecutive addresses",
     kPlanHelp,
     Operands::OneFile,
     nullptr,
     {kSearching,
      kSending,
      {"--timeout", "--apply", "--assign", "--mask", "--gateway", "--dns", "--product", "--unprobed-ok"}},
     {},
     CheckPlanArguments},
    {"check",
     RunCheck,
     "check FILE  compare the devices that answer with an inventory",
     kCheckHelp,
     Operands::OneFile,
     "a file of the expected devices",
     {kSearching, {"--min-firmware-date"}},
     {OutputFormat::Table, OutputFormat::Json},
     nullptr},
    {"report",
     RunReport,
     "report -o FILE  write a handover report of the site (HTML or JSON)",
     kReportHelp,
     Operands::None,
     nullptr,
     {kSearching, {"--output", "--site", "--inventory", "--audit", "--min-firmware-date"}},
     {OutputFormat::Html, OutputFormat::Json},
     CheckReportArguments},
    {"watch",
     RunWatch,
     "watch       search again and again and say what changed",
     kWatchHelp,
     Operands::None,
     nullptr,
     {{"--adapter", "--interval", "--default-ip"}},
     {OutputFormat::Table, OutputFormat::Lines, OutputFormat::Jsonl},
     nullptr},
    {"probe",
     RunProbe,
     "probe ADDRESS...   who answers for addresses on the LAN, devices or not",
     kProbeHelp,
     Operands::Addresses,
     "one or more addresses, ranges FIRST-LAST or networks ADDRESS/PREFIX",
     {{"--adapter"}},
     {OutputFormat::Table, OutputFormat::Csv, OutputFormat::Json},
     nullptr},
};

}  // namespace

const CommandTable kCommandTable = kEntries;
