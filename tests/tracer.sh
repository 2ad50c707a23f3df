# In the sanitizer build LeakSanitizer checks for leaks as a program exits. Its
# own tracer thread can crash while it scans the threads ("Tracer caught signal
# 11", then "LeakSanitizer has encountered a fatal error", exit code 134): then
# no leak check was made, and nothing was found wrong with the program.
# tracer_died FILE: the stderr in FILE ended so, with no report of a leak or a
# memory error. tracer_lines: the tracer's own lines.
tracer_lines="^(Tracer caught signal [0-9]+: |==[0-9]+==(LeakSanitizer has encountered a fatal error|HINT: ))"
tracer_died() {
    grep -q "^Tracer caught signal" "$1" &&
        grep -q "LeakSanitizer has encountered a fatal error" "$1" &&
        ! grep -qE "ERROR: [A-Za-z]*Sanitizer|runtime error" "$1"
}
