#include "usage.h"

namespace {

const char kProgram[] = R"(usage: nwctl COMMAND [options]

Finds and configures network cameras from the command line, speaking the
same UDP protocol as the Nodewright window: requests go to
255.255.255.255 port 40013 from port 40013 of one adapter, answers come to
port 40014.

commands
  search      list the devices that answer
  adapters    list the network adapters nwctl can search from
  set MAC     change one device's address settings and ports
  reboot MAC...   restart devices
  reset MAC...    return devices to their factory settings
  plan FILE   check a plan for many devices; with --apply, carry it out
  plan --assign FIRST_ADDRESS   write a plan of consecutive addresses
  check FILE  compare the devices that answer with an inventory

nwctl COMMAND --help tells more; nwctl --version prints the version.

Fields, everywhere (CSV header, JSON keys, plan columns):
  mac ip mask gateway dns mode web_port control_port video_port
  audio_transmit_port audio_receive_port https product maker firmware
  name adapter
mode is static or dhcp; name shows only for firmware dated 20220807 or
later (N/A before), as in the window's list.

Credentials (set, reboot, reset, plan --apply): --user USER, and the
password from --password-file FILE (its first line), else from NW_PASSWORD,
else from a prompt without echo when standard input is a terminal.
--password is refused: command lines are visible to other users.
Commands that send ask for confirmation on a terminal; --yes (-y) answers
it (without a terminal, --yes is required).

exit status
  0   done (search, adapters; set: the device answered "Apply", or
      there was nothing to change; plan: no problems, or all applied and
      verified; check: nothing to report)
  1   network: no usable adapter, a port cannot be opened, nothing could
      be sent
  2   bad arguments or input file; nothing was sent
  3   a named device did not answer the search, or answered from two
      addresses; nothing was sent
  4   set: no answer from the device within --timeout
  5   not confirmed; nothing was sent
  6   plan, set: problems found (refused: nothing was sent); plan
      --assign: the addresses ran out, or the plan would have problems
      (nothing was written)
  7   plan --apply: a device failed or does not show its planned values,
      or the audit log could not be written
  8   check: something reported
  9   nothing to act on: no device answered the search (search, check,
      plan --assign), none matched --product, or the plan names no device
  11-15  set: the device answered Failed (11), Failed. Invalid address
      (12), Failed. Invalid port (13), Failed. Invalid config (14),
      Failed. login failed (15); 16: a result code without a text
)";

const char kSearch[] = R"(usage: nwctl search [--adapter NAME|ADDRESS|all] [--rounds N]
                    [--format table|csv|json] [--columns LIST | --wide]

Sends the search request N times (default 5) a second apart from the
adapter and prints every device that answered, once per MAC and IP pair.
--adapter all searches from every adapter at once; the adapter column says
where each device answered. Default: the first adapter nwctl adapters lists.

The table shows mac, ip, mode, product and firmware, to fit a terminal 80
columns wide; --wide shows every field. CSV and JSON have every field. The
CSV output, edited, is a plan (nwctl plan --help).
--columns LIST chooses the fields and their order, in any format: field
names (nwctl --help lists them) joined by commas, such as mac,ip,name.
In the table an empty text shows as -; CSV and JSON leave it empty.

While it runs, standard error shows the round and the number of devices
found so far when that is a terminal. When the receive queue was full and
replies were lost, nwctl says how many (on Linux): a device missed in one
round is usually heard in the next, so search with more --rounds.
Device texts are escaped: bytes outside printable ASCII as \xNN and \ as
\\ in the table and CSV; in JSON each byte is the character of the same
number, controls escaped.

exit status: 0 devices found; 9 no device answered (standard error names
the likely causes); 2 bad arguments; 1 network.
)";

const char kAdapters[] = R"(usage: nwctl adapters [--loopback]

Lists the adapters with an IPv4 address that nwctl can search from: name,
address, mask. The loopback adapter only with --loopback.
)";

const char kSet[] = R"(usage: nwctl set MAC [--ip A] [--mask M] [--gateway G] [--dns D]
                 [--dhcp|--static] [--web-port P] [--control-port P]
                 [--video-port P] [--audio-transmit-port P]
                 [--audio-receive-port P] --user U [--password-file FILE]
                 [--timeout S] [-y|--yes] [--adapter NAME|ADDRESS|all]
                 [--rounds N]

Finds the device by a fresh search, sends it the Save record that the
window program sends (settings not named keep the device's values), waits
up to --timeout seconds (default 5) for its answer and prints the answer's
text. MAC: 00:1A:2B:3C:4D:5E, 00-1A-2B-3C-4D-5E, 001A.2B3C.4D5E or
001A2B3C4D5E, either case.

A set is a plan of one device: before anything is sent it is held to the
plan's rules (nwctl plan --help), and refused with every problem named.
A device whose mode is neither static nor dhcp needs --static or --dhcp.
With nothing to change, nothing is sent.

exit status: 0 Apply, or nothing to change; 6 problems found, nothing
sent; 11 Failed; 12 Failed. Invalid address; 13 Failed.
Invalid port; 14 Failed. Invalid config; 15 Failed. login failed; 16 a
result without a text; 4 no answer in time; 3 the device did not answer the
search (or answered from two addresses); 5 not confirmed; 2 bad arguments;
1 network.
)";

const char kReboot[] = R"(usage: nwctl reboot MAC... --user U [--password-file FILE] [-y|--yes]
                    [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a reboot, 10 ms apart,
after confirmation. Devices do not answer a reboot; nwctl prints what it
sent to whom. If a MAC does not answer the search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network.
)";

const char kReset[] = R"(usage: nwctl reset MAC... --user U [--password-file FILE] [-y|--yes]
                   [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a factory reset, 10 ms
apart, after confirmation. Devices do not answer it; nwctl prints what it
sent to whom. If a MAC does not answer the search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network.
)";

const char kPlan[] = R"(usage: nwctl plan FILE.csv [--apply --user U [--password-file FILE]
                  [--timeout S] [-y|--yes]] [--adapter NAME|ADDRESS|all]
                  [--rounds N]
       nwctl plan --assign FIRST_ADDRESS [--mask M] [--gateway G] [--dns D]
                  [--product TEXT] [--adapter NAME|ADDRESS|all] [--rounds N]

A plan is a CSV file with a header line: a mac column and any of ip, mask,
gateway, dns, mode, web_port, control_port, video_port,
audio_transmit_port, audio_receive_port; a blank cell keeps the device's
value and other columns are ignored, so an edited search --format csv is a
plan.

Without --apply (a dry run) nwctl searches and prints, for every device,
its changes from the current values, and every problem: a MAC not found or
answering from two addresses, a MAC planned twice, two devices planned onto
one address, an address used by a device outside the plan or by this
computer, an address no device can have (0.0.0.0/8, loopback, multicast,
the subnet's network or broadcast address), an address, mask, gateway or
DNS that is not valid, a gateway outside the subnet, a mode neither static
nor dhcp, a port of 0 or two ports alike (which the device refuses).
With --apply it refuses while a problem stands; else, after confirmation,
it sends each device its Save record, one at a time, waits for each answer
(--timeout, default 5 s), searches again and checks that every device shows
its planned values. On a terminal a count shows how far it has got.

The audit log, JSON lines beside the plan file (named after it and the
time), has a line for each thing as it happens, written at once so that a
run cut short keeps it: each Save sent (event "sent", with the values
before and those sent; "not sent" when it could not leave), each answer
("answer": its text and code, or "no answer"), each device with nothing to
change ("unchanged"), and each verification ("verify"). Every line has the
time and the device's MAC; none has a password or digest.

--assign writes a plan on standard output: the devices found (those whose
product name holds TEXT, in any case, with --product) get consecutive
addresses from FIRST_ADDRESS in MAC order, inside FIRST_ADDRESS's subnet by
the mask each device will have (--mask, else its own), skipping the
subnet's network and broadcast addresses, this computer's addresses, every
address that a found device outside the plan uses, and the gateway's and
the DNS server's. A device now in DHCP mode gets mode static, with a note
on standard error. The plan is written only when its own dry run would
pass; otherwise every problem is named and nothing is written.

exit status: 0 no problems (with --apply: all applied and verified); 6
problems found (with --apply: refused, nothing sent), or --assign ran out
of addresses or would write a plan with problems; 7 a device failed, did
not answer or does not show its planned values, or the audit log could not
be written; 9 the plan names no device, no device answered, or none
matched --product; 5 not confirmed; 2 bad arguments or plan file; 1
network.
)";

const char kCheck[] = R"(usage: nwctl check EXPECTED.csv [--min-firmware-date YYYYMMDD]
                   [--format table|json] [--adapter NAME|ADDRESS|all] [--rounds N]

Compares the expected devices (a CSV with a mac column and, if it likes,
an ip column) with a fresh search, and reports: missing devices, devices
answering at another address than expected (wrong-address), unexpected
devices, addresses answered by two MACs or used by this computer
(conflict), a MAC answering from two addresses (duplicate-mac) and, with
--min-firmware-date, firmware dated before it by the device list's rule
(the number after the last _ of the version; firmware without a date
counts as older).

exit status: 0 nothing to report; 8 something reported; 9 no device
answered the search; 2 bad arguments or file; 1 network.
)";

}  // namespace

const char* UsageText(Command command)
{
    switch (command) {
        case Command::Search:
            return kSearch;
        case Command::Adapters:
            return kAdapters;
        case Command::Set:
            return kSet;
        case Command::Reboot:
            return kReboot;
        case Command::Reset:
            return kReset;
        case Command::Plan:
            return kPlan;
        case Command::Check:
            return kCheck;
        case Command::None:
            break;
    }
    return kProgram;
}
