#include "usage.h"

const char kUsage[] = R"(usage:
  nwsim [serve] DEVICES [options]     play devices until SIGTERM or SIGINT
  nwsim check DEVICES [options]       print the devices that serve would play,
                                      one JSON line each, and exit; sends
                                      nothing
  nwsim send --to ADDRESS [options]   send crafted datagrams and exit
  nwsim --help

Plays network cameras that answer the discovery protocol: every message is one
371-byte record, requests arrive on UDP port 40013, answers go to port 40014 of
the requester. Broadcasts to 255.255.255.255: run it only on a network of its
own. An option's value follows it as the next argument or after "=".

DEVICES (in the order given; at least one, at most 65536)
  --devices N            N patterned devices: MAC 00:1A:2B:xx:xx:xx from the
                         device's position + 1, IP 198.51.100.100 + position
                         (counted on as a 32-bit address), product SimCam-NNNN,
                         maker "Nodewright Lab", name cam-NNNN, firmware
                         1.4.2_20240115, mask 255.255.255.0, gateway
                         198.51.100.254, DNS 198.51.100.253, static, ports
                         80/30001/30002/30003/30004, HTTP, result 0, user
                         "admin", password "admin"
  --device KEY=VALUE,... one device: the patterned device of its position with
                         these keys changed; a value cannot hold a comma (give
                         KEY.hex for that)
  --config FILE          the devices of a description file (below)

Device keys
  Record fields (names as in the record; short names in brackets):
    macAddress [mac] productName [product] manufacturer [maker]
    deviceName [name] firmwareVersion [firmware] ipAddress [ip]
    subnetMask [mask] gateway dns                 texts
    dhcp webPort controlPort videoPort audioReceivePort audioTransmitPort
    httpsEnabled [https] result                   numbers
  A text is written as given and zero-filled; a text as long as its field or
  longer fills the field with no NUL (macAddress holds 24 bytes,
  firmwareVersion 36, the others 32) and the rest is dropped. A number takes
  its field's unsigned or signed range: dhcp=-1 is FF FF FF FF. `result` is
  the value the device's search replies carry.
  KEY.hex=HEX            the field's raw bytes (pairs of hex digits, at most the
                         field's width, zero-filled): texts with commas, NULs
                         or other bytes, numbers byte by byte
  userId [user], password
                         the credentials the device accepts (default
                         admin/admin); .hex works for these too
  Behaviour:
    delay=S              answer a search S seconds after hearing it (late
                         replies: after the 5-second search has ended)
    answers=K            answer only the first K searches
    repeat=R             answer every search R times
    silent=1             send no datagram at all (still takes on settings,
                         reboots, answers ARP)
    broadcast=0|1        reply to 255.255.255.255 (default: --broadcast)
    applyResult=R        answer every configuration request with result R,
                         judging nothing and changing nothing
    applyCount=C         answer every configuration request C times (0: never)
    applyMac=TEXT        answer configuration requests with this MAC text
                         instead of its own (applyMac.hex too)
    applyDelay=S         answer configuration requests S seconds late
    rebootTime=S         silence after reboot or factory reset (default:
                         --reboot-time)
  Life on the network, in seconds from the start of serving (a device away
  hears nothing and sends nothing; each key needs the one it follows, and
  comes later than it):
    appearAt=S           away until S: arrives then
    leaveAt=S            away from S on (after appearAt)
    rejoinAt=S           back from S on (after leaveAt)
    moveAt=S,moveTo=IP   takes the address IP at S (both or neither)
    moveBackAt=S         takes its first address back at S (after moveAt)

Description file (--config): INI-like, one [device] section per device, each
starting from the patterned device of its position; `KEY = VALUE` lines take
the device keys above; blank lines and lines starting with # or ; are
skipped; blanks around keys and values are dropped (give exact bytes with
KEY.hex). A bad line stops the program with its line number.
    [device]
    mac = 00:1A:2B:00:00:10
    firmwareVersion = 2.0.1_20231201
    answers = 1
    [device]
    # 24 characters and no NUL
    macAddress.hex = 4142434445464748494a4b4c4d4e4f505152535455565758
    password = secret

What a device does with each request (only datagrams of exactly 371 bytes;
others are logged and ignored)
  3 search            replies with its record, command 4, to port 40014 of the
                      sender (or 255.255.255.255 with --broadcast)
  5 configuration     if the request's macAddress text equals its own, byte
                      for byte: the first failing rule gives the result
                        5 login failed     userId text or the 32 digest bytes
                                           (MD5 of the password and its NUL,
                                           then 16 zero bytes) differ
                        2 invalid address  ipAddress, subnetMask, gateway or
                                           dns is not four numbers 0-255 joined
                                           by dots (no blanks, no leading
                                           zeros), or ipAddress is 0.0.0.0 or
                                           255.255.255.255
                        3 invalid port     a port is 0, or two ports are equal
                        4 invalid config   dhcp is neither 0 nor 1
                        0 ok               the device takes on dhcp, the four
                                           addresses, the five ports and
                                           httpsEnabled
                      and replies with its record, command 5, that result
  6 reboot            with matching MAC and right credentials: silent (answers
  7 factory reset     nothing) for the reboot time, then back; a factory reset
                      also restores the settings it started with. Wrong
                      credentials: ignored, no answer
  other commands      logged and ignored

ARP: each device on the network (not away, not rebooting) answers the ARP
requests for the address it holds now from its own MAC (Ethernet source and
sender) to the requester alone, as a Linux host does, also to a probe from
0.0.0.0; devices on one address all answer, as in a real conflict, and a
request sent to one MAC only the device with that MAC. A device whose MAC
text is not six pairs of hex digits joined by ":" or "-", or names no host's
MAC, or whose address is not dotted IPv4, does not answer. It listens
through a packet socket on each interface it serves on (with --bind
0.0.0.0: every one that is up with an IPv4 address, not loopback, not
stacked on another such as a macvlan), which needs the raw packet right
(CAP_NET_RAW).

serve options
  --log FILE             append one JSON object per line (below); - is stdout
  --bind ADDRESS         listen address (default 0.0.0.0)
  --port P               listen port (default 40013)
  --reply-port P         port replies go to (default 40014)
  --broadcast            send replies to 255.255.255.255 instead of the sender
  --delay S              answer searches S seconds late (default 0)
  --spread S             spread the N devices' replies evenly over S seconds:
                         device i answers at delay + S * i / N
  --burst                all replies at once, as fast as the socket takes them
                         (the default; cancels --spread)
  --reboot-time S        silence after reboot or factory reset (default 5)
  --sndbuf BYTES         send buffer (default 8 MiB)
  --rcvbuf BYTES         receive buffer (default 4 MiB)
  --arp                  the devices answer ARP, or nwsim ends with an error
                         (by default they do where nwsim has the right, and
                         it says once when they will not)
  --no-arp               the devices never answer ARP
When bound it prints "nwsim: ready ..." with the interfaces ARP is answered
on, and logs {"event": "ready", ..., "arp": the same names, blank-separated,
empty for none}. SIGTERM or SIGINT ends it cleanly (exit status 0); replies
still waiting for their time are dropped and counted in the final
{"event": "stop"} line, with "arp_replies", the ARP replies sent.

send options (one-shot: builds a datagram, sends it, exits)
  --to ADDRESS           destination, e.g. 198.51.100.1 or 255.255.255.255
  --port P               destination port (default 40014)
  --from ADDRESS         source address (default any)
  --from-port P          source port (default 0: any)
  --KEY VALUE            set a record field (any of the record fields above,
                         also command and userId; --password VALUE sets
                         passwordDigest to the password's digest;
                         --KEY.hex HEX sets raw bytes); the record starts as a
                         zero search reply (command 4)
  --raw HEX              send these bytes instead of a record
  --size N               cut the datagram to N bytes or pad it up to N
                         (0 to 65507)
  --pad BYTE             the padding byte (default 0)
  --repeat K             send it K times (default 1)
  --interval S           seconds between the repeats (default 0)
  --log FILE             log the datagrams sent, as serve does

Log lines (one JSON object each, written and flushed line by line)
  every line    "mono": monotonic seconds, "wall": UTC time, both with
                microseconds (a received datagram: when it arrived)
  datagrams     "dir": "in" (received) or "out" (sent), "peer", "peer_port",
                "local_port", "local_address" and "interface" (received:
                where it was addressed and came in), "device" (sent by a
                device), "length", "hex": every byte, "record": the fields
                lying wholly within the datagram by their record names
                (numbers; texts up to the first NUL or the field's end;
                passwordDigest in hex)
  events        "event": "ready", "stop", "send-error" (an ARP reply's has
                "interface", "peer" and "arp_for"), "receive-error",
                and per device: "quiet" (heard a request meant for it and
                stays quiet: "reason"), "config" ("result", "applied", "forced",
                "replies"), "reboot" and "factory-reset" ("until": mono
                time), "back", "refused" (wrong credentials), "arrive",
                "leave", "move" ("ip": the address it takes); per request:
                "no-match" (no device has its MAC text), "ignored" (not a
                request: "reason")
  Texts are written byte for byte, one character U+0000 to U+00FF per byte:
  encode them as Latin-1 to get the bytes back.
)";
