#!/usr/bin/env python3
"""Writes doc/brelund-calc.1 and the bash completion doc/brelund-calc.bash
from the help of a built brelund-calc: every command and option as --help
gives them, the page between the hand-written parts below (description,
exit status, environment, files, examples). Both are kept in the
repository; run this again when a command or option changes (the test
manpage_lists_every_option says when):

    scripts/make-manpages.py BUILD/src/cli/brelund-calc
"""
import os
import re
import subprocess
import sys

HEAD = r'''.\" Written by scripts/make-manpages.py from brelund-calc --help; edit the
.\" hand-written parts in that script.
.TH BRELUND-CALC 1 "" "Brelund @VERSION@" "User Commands"
.SH NAME
brelund-calc \- hydrostatics and intact stability of ships from panelled hull meshes
.SH SYNOPSIS
.B brelund-calc
.RB [ \-\-threads
.IR N ]
.I COMMAND
.I SHIP.nav
.RI [ ARGUMENTS ]
.br
.B brelund-calc
.I COMMAND
.B \-\-help
.SH DESCRIPTION
.B brelund-calc
is the command-line front end of Brelund's engine: it lists and edits the
elements of a ship file (hull elements, compartments and tanks, each a set of
closed meshes read from DXF drawings, STL or OBJ files), checks their
surfaces, and computes the upright, inclined (KZ/GZ) and Bonjean tables, the
trim of a submerged body, the curves of form, the GZ curve of a loading
condition with the intact-stability criteria of the IMO 2008 IS Code, the
tank calibration tables and the stability after damage.
The desktop application
.BR brelund (1)
computes the same tables from the same code, digit for digit.
.PP
Tables print as TAB-separated text with a header line; the commands that print
records also write CSV or JSON (\fB\-\-format\fR) with as many significant
digits as asked (\fB\-\-digits\fR, 17 for every bit).
Lengths are in metres, weights in tonnes, densities in t/m^3 and angles in
degrees (radians for \fBtrim\fR).
Every number typed is a decimal number with a decimal point, whatever the
locale; \fBnan\fR, \fBinf\fR and numbers beyond a double are refused.
A calculation first warns on stderr of the enabled elements it reads whose
surface is open or faces inwards.
Commands that change a ship file take its lock and write it whole or not at
all.
.SH OPTIONS
.TP
.BR \-h ", " \-\-help
Print the help of brelund-calc, or of the command it follows, and exit.
.TP
.B \-\-version
Print the version and exit.
.TP
.BI \-\-threads " N"
Threads the calculations run on, 1 to 1024 (default: \fBBRELUND_THREADS\fR,
else every core); 1 runs them serially.
The output is the same for any number.
It may come before or after the command.
.SH COMMANDS
'''

TAIL = r'''.SH EXIT STATUS
.TP
.B 0
A result (warnings, if any, on stderr).
.TP
.B 1
Refused input or a damaged file: one line on stderr, nothing written.
With \fB\-\-strict\fR, also a criterion failed (\fBstability\fR, \fBdamage\fR)
or an enabled element's surface is open or mixed (\fBcheck\fR).
.TP
.B 2
A usage error: an unknown command or option, a value that is not a number.
.TP
.B 130
Stopped by Ctrl-C (SIGINT) at the next row, cell or station: nothing on
stdout, no drawing written, "interrupted; nothing was written" on stderr.
A second Ctrl-C kills at once.
.SH ENVIRONMENT
.TP
.B BRELUND_THREADS
Threads the calculations run on, when \fB\-\-threads\fR is not given.
.TP
.B BRELUND_LOCK_WAIT
Seconds a command waits for another one changing the same ship (default 5).
.SH FILES
.TP
.I SHIP.nav
A ship file: its elements, meshes and values.
.TP
.I SHIP.conditions.json
Beside the ship file: its loading conditions, openings, damage cases and
sounding pipes (JSON, units in the keys), read by \fBstability\fR,
\fBconditions\fR, \fBtanks\fR and \fBdamage\fR.
.TP
.I /usr/share/brelund/samples/
Sample ships: a box barge, a Wigley hull and a submarine, with their drawings
and conditions files.
.SH EXAMPLES
The curves of form of the sample barge trimmed half a degree by the stern:
.PP
.EX
brelund\-calc hydrostatics /usr/share/brelund/samples/barge.nav \e
    \-\-draughts 1,2,2.5 \-\-trim 0.5
.EE
.PP
The GZ curve and intact criteria of a loading condition, as JSON:
.PP
.EX
brelund\-calc stability barge.nav \-\-condition "Partenza \- criteri soddisfatti" \e
    \-\-format json
.EE
.PP
A ship built from drawings, then checked:
.PP
.EX
brelund\-calc add ship.nav hull hull.dxf \-\-name scafo
brelund\-calc add ship.nav tank tank.stl \-\-name "cassa 1" \-\-density 0.85
brelund\-calc edit ship.nav "cassa 1" \-\-filling 0.4
brelund\-calc check ship.nav \-\-strict
.EE
.SH SEE ALSO
.BR brelund (1)
.PP
The Python module \fBbrelund\fR (\fBimport brelund\fR) computes the same
tables with numpy arrays.
'''


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return ("\\&" + text) if text[:1] in ".'" else text


def help_of(calc, *args):
    return subprocess.run([calc, *args, "--help"], capture_output=True, text=True,
                          check=True).stdout


def entries(text, section):
    """(spec, description) pairs of a section of CLI11's help."""
    out, inside = [], False
    for line in text.splitlines():
        if line.endswith(":") and not line.startswith(" "):
            inside = line == section + ":"
            continue
        if not inside or not line.strip():
            continue
        if line.startswith("  ") and not line.startswith(" " * 30):
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            out.append([parts[0], parts[1] if len(parts) > 1 else ""])
        elif out:
            out[-1][1] = (out[-1][1] + " " + line.strip()).strip()
    return out


def usage(text):
    for line in text.splitlines():
        if line.startswith("Usage: "):
            return line[len("Usage: "):]
    return ""


COMPLETION_HEAD = r'''# bash completion for brelund-calc: its commands, their options and the
# values of the options that take a choice. Written by
# scripts/make-manpages.py from brelund-calc --help.
_brelund_calc() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --threads) ((i++)) ;;
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    local words
    if [[ -z $command ]]; then
        words="@COMMANDS@ --threads --help --version"
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        return
    fi
    case $prev in
@CHOICES@    esac
    if [[ $cur == -* ]]; then
        case $command in
@OPTIONS@        esac
        COMPREPLY=($(compgen -W "$words --threads --help" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _brelund_calc brelund-calc
'''


def completion(commands):
    """commands: [(name, [(spec, description)])]."""
    choices, options = {}, []
    for name, specs in commands:
        names = []
        for spec, _ in specs:
            first = spec.split()[0]
            for option in first.split(","):
                if option.startswith("--"):
                    names.append(option)
            match = re.search(r":\{([^}]*)\}", spec)
            if match:
                choices.setdefault(first, set()).update(match.group(1).split(","))
        options.append(f"            {name}) words=\"{' '.join(names)}\" ;;\n")
    choice_lines = "".join(
        f"        {option}) COMPREPLY=($(compgen -W \"{' '.join(sorted(values))}\" -- \"$cur\")); "
        "return ;;\n" for option, values in sorted(choices.items()))
    return (COMPLETION_HEAD.replace("@COMMANDS@", " ".join(n for n, _ in commands))
            .replace("@CHOICES@", choice_lines).replace("@OPTIONS@", "".join(options)))


def main():
    calc = sys.argv[1]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    version = subprocess.run([calc, "--version"], capture_output=True, text=True,
                             check=True).stdout.split()[-1]
    page = [HEAD.replace("@VERSION@", version)]
    commands = []
    for name, summary in entries(help_of(calc), "Subcommands"):
        text = help_of(calc, name)
        commands.append((name, entries(text, "Options")))
        page.append(f".SS {name}\n")
        page.append(f".B {roff(usage(text).replace('[OPTIONS]', '').strip())}\n")
        page.append(f".PP\n{roff(summary)}\n")
        for spec, description in entries(text, "Positionals") + entries(text, "Options"):
            if spec.startswith("-h,--help"):
                continue
            page.append(f".TP\n.B {roff(spec)}\n{roff(description)}\n")
    page.append(TAIL)
    with open(os.path.join(root, "doc", "brelund-calc.1"), "w", encoding="utf-8") as f:
        f.write("".join(page))
    with open(os.path.join(root, "doc", "brelund-calc.bash"), "w", encoding="utf-8") as f:
        f.write(completion(commands))


if __name__ == "__main__":
    main()
