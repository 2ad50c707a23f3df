# Reads the state of a running saver from outside, through gdb (the program
# needs no diagnostics of its own for it):
#
#   [PROBE_TURNS=N] gdb -p PID -batch -nx -x arena_probe.py
#
# It lets the program run to the end of a turn (the N-th turn to end, 1 unless
# set), so that no physics step is half done, then prints one "name value" line
# each for the turns since start, the buildings found hit (seven to a completed
# round, while nobody presses M or R), the demonstration flag, the camera, the
# controlled plane, the measured rate, the physics step, the bodies of the arena
# and how many of them have a position or velocity that is not finite, and where
# the controlled plane is, and then lets the program go on.
import math
import os
import re
import struct

import gdb

gdb.execute("set pagination off")
gdb.execute("set confirm off")
turn_end = gdb.Breakpoint("turnEndSteps", internal=True, temporary=True)
turn_end.ignore_count = max(1, int(os.environ.get("PROBE_TURNS", "1"))) - 1
gdb.execute("continue", to_string=True)


def value(expression):
    return gdb.parse_and_eval(expression)


def handle(expression):
    return int(value("(unsigned long)(%s)" % expression))


def parts(array, count, fields=("body",)):
    return [handle("%s[%d].%s" % (array, i, f)) for i in range(count) for f in fields]


bodies = parts("planes", 7, ("rightTip.body", "leftTip.body", "tail.body", "fuselage.body", "wing.body",
                             "bubble.body"))
bodies += parts("pillars", 36) + parts("crates", 11) + parts("billboards", 1)
for b in range(7):
    floors = min(int(value("buildings[%d].floors" % b)), 99)
    for f in range(floors):
        bodies += parts("buildings[%d].floor[%d]" % (b, f), 5)
bodies = [b for b in bodies if b]


# The position and velocity lie at fixed offsets in every body record. ODE's
# accessor gives one away in its code ("lea OFFSET(%rdi),%rax"); where it does
# not, a call into the program finds it (some kernels refuse gdb such calls).
def offset(accessor, body):
    code = gdb.execute("disassemble %s" % accessor, to_string=True)
    found = re.search(r"lea\s+(0x[0-9a-f]+)\(%rdi\),%rax", code)
    if found:
        return int(found.group(1), 16)
    return handle("((double*(*)(void*))%s)((void*)%d)" % (accessor, body)) - body


nonfinite = 0
if bodies:
    first = bodies[0]
    position = offset("dBodyGetPosition", first)
    velocity = offset("dBodyGetLinearVel", first)
    memory = gdb.selected_inferior()
    for body in bodies:
        numbers = struct.unpack("3d", memory.read_memory(body + position, 24))
        numbers += struct.unpack("3d", memory.read_memory(body + velocity, 24))
        if not all(math.isfinite(n) for n in numbers):
            nonfinite += 1

# Where the controlled plane's fuselage is.
plane = handle("planes[%d].fuselage.body" % int(value("cnP")))
where = struct.unpack("3d", memory.read_memory(plane + position, 24)) if bodies and plane else (math.nan,) * 3

print("turns %d" % int(value("DrawCounter")))
print("hits %d" % int(value("BuildingHit")))
print("demo %d" % int(value("demoActive")))
print("camera %d" % int(value("CameraNo")))
print("plane %d" % int(value("cnP")))
print("fps %s" % float(value("FpsNow")))
print("step %s" % float(value("TStepSz")))
print("bodies %d" % len(bodies))
print("nonfinite %d" % nonfinite)
print("planex %s\nplaney %s\nplanez %s" % where)
gdb.execute("detach", to_string=True)
