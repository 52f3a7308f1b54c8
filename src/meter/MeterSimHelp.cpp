// The text of meter-sim --help.
#include "meter/MeterOptions.h"

namespace meter {

std::string MeterSimHelpText() {
    return R"(Usage: meter-sim [OPTION]...
Simulated three-phase electricity meters serving Modbus TCP, Modbus RTU and
M-Bus: one meter, or several on one line (see --meter). It prints one line
"meter-sim: ready" once every transport is open, and runs until SIGINT or
SIGTERM.

Transports (at least one):
  --tcp HOST:PORT        serve Modbus TCP; PORT 0 takes any free port, which the
                         line "meter-sim: listening on HOST:PORT" then shows.
                         Port 502 needs root or CAP_NET_BIND_SERVICE.
  --rtu DEVICE           serve Modbus RTU on a serial device (a tty or one end
                         of a pseudo-terminal pair)
  --baud N               RTU line speed, 300 to 115200 (default 19200)
  --framing DPS          RTU data bits, parity N/E/O, stop bits (default 8E1)
  --unit N               unit address 1-247 (default 1). On RTU each meter
                         answers only its own address; TCP serves the meter of
                         the request's unit id, or the first meter for any
                         other. Unit 0 is a broadcast: every meter carries
                         writes out, nothing is answered.
  --mbus DEVICE          serve M-Bus on a serial device, always 8E1; answers
                         are paced to the rate, 11 bits a character
  --mbus-baud N          M-Bus line speed, 300 to 9600 (default 2400); a
                         baud rate frame (CI 0xB8-0xBD) moves the whole line
  --primary N            M-Bus primary address 0-250 (default 0)
  --secondary DIGITS     M-Bus secondary address, eight digits 0-9 or A-E
                         (default the last eight of the serial number)
  --mbus-version N       M-Bus version byte 0-255 (default 1)

Several meters on one line:
  --meter KEY=VALUE[,KEY=VALUE...]
                         adds one meter; repeat for each. The keys are the
                         device options below and --unit, --primary,
                         --secondary, --mbus-version without their dashes
                         (a flag such as tariff-locked stands alone). What a
                         --meter does not give comes from the options outside,
                         except the unit and primary addresses, the serial
                         number and the seed, which count up by the meter's
                         place (0 for the first). Without --meter there is one
                         meter. Meters must differ in the addresses of the
                         transports served.

Device:
  --type N               device type index 0-5 (default 5): 0 and 3 single
                         phase, 1 and 4 three-wire, 2 and 5 four-wire; 0 and 2
                         direct connected, the others transformer connected
  --options DMPQUVW      the seven option digits D M P Q U V W (default 1201000).
                         D 2 or more: the second maker's device; M 2 or more:
                         reactive energy; Q: transformer input (0 and 9: ratios
                         not settable, 1: CT x VT at most 100000)
  --variant Z            option digit Z (default 1): 0 no demand logger, 2 the
                         large logger (record numbers, interval summary,
                         certified logger), others the ordinary demand logger
  --serial DIGITS        ten-digit serial number (default 2100012345)
  --serial-prefix XX     two serial number prefix characters (default TQ)
  --product TEXT         product name, at most 32 characters
  --base-fw N            base firmware version times 100 (default 123)
  --webserver MODE       absent (default; register 11000 answers an
                         exception), disabled or enabled
  --ct N, --vt N         transformer ratios (default 1)
  --demand-period MIN    demand period in minutes, 1-255 (default 15)
  --tariff N             tariff 1-8, or 0 for the hardware tariff input
                         (day tariff 1 from 06:00 to 22:00, else tariff 2)
  --tariff-locked        the tariff follows the hardware input and tariff
                         writes are answered but not taken
  --demand-records N     demand records filled at start (default 2000, with
                         variant 2 5000; at most 16000, variant 2 168000)
  --event-records N      events filled at start, 0-256 (default 40)
  --certified-entries N  certified entries filled at start, 0-4000 (default 12)
  --clock "YYYY-MM-DD HH:MM:SS"
                         start the meter clock there (default: the PC's time)
  --clock-stopped        the clock stands still at its start (a clock write
                         still sets it), so values and counters stay as they
                         are: screens and readings that can be reproduced
  --seed N               varies the generated values (default 1)

Faults:
  --no-answer-every N    every Nth request to the meter is ignored, as if it
                         never arrived (0: off)
  --bad-crc-every N      every Nth RTU answer has a broken CRC (0: off)
  --delay-ms MS          answers are sent MS milliseconds late
  --delay-every N        only every Nth answer is late (default 1: all)
  --drop-after N         a TCP connection is closed right after its Nth answer
  --bad-checksum-every N every Nth M-Bus long answer has a broken checksum
  --short-frame-every N  every Nth M-Bus long answer goes out one byte short
  --drop-answer-every N  every Nth request is carried out (a log read moves on)
                         but its answer is never sent (0: off)
  --drop-answers N,M,... the requests with these numbers (counting from 1 every
                         request the meter carries out) get no answer
  --silent-after N       after its Nth answer the meter answers nothing more
  A request that is ignored, and an answer sent broken or short, change
  nothing in the meter: no telegram, log place or setting moves on.
  --no-answer-every and --delay-ms apply to M-Bus as well.
  A log read walks from the newest record to older ones. The Modbus request
  after a missed answer (registers 3300, 3600) takes back the step of the
  request just before it, so the next older-record request returns the record
  whose answer was lost, dropped or late; a request lost before the meter
  moved nothing.

Other:
  --verbose              log every request and what became of it on stderr
  --state-file PATH      keep every meter's settings in PATH: per meter a line
                         "[meter N]", then "name=value" lines (unit, baud,
                         primary, secondary, ct, vt, demand-period, tariff,
                         webserver, clock, freeze, reset: the freeze and reset
                         date settings as written); rewritten at start and
                         after every setting a meter takes
  --help                 show this text

Examples:
  meter-sim --tcp 127.0.0.1:15020
  socat -d -d pty,raw,echo=0,link=/tmp/meter pty,raw,echo=0,link=/tmp/tool &
  meter-sim --rtu /tmp/meter --baud 19200 --framing 8E1 --unit 1
  meter-sim --rtu /tmp/meter --meter unit=1 --meter unit=2,type=2 --meter unit=5
  meter-sim --mbus /tmp/meter --mbus-baud 2400 --primary 1
  meter-sim --mbus /tmp/meter --meter primary=1 --meter primary=2,secondary=12345678
)";
}

}  // namespace meter
