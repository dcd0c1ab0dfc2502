// The usage text of pelmora-cli: what --help prints.
#include "cli/cli.h"

namespace pelmora {

const std::string& CliHelpText() {
  static const std::string text =
      R"(Usage: pelmora-cli --test I | --distribution I [choices] [values] [action]
                   [--save FILE.dim]
       pelmora-cli FILE.dim [values] [action] [--save FILE.dim]
       pelmora-cli --batch < REQUESTS
       pelmora-cli --list
       pelmora-cli --help

Plans a study with the Pelmora engine: chooses a procedure as the menus and
the options dialog do, sets the values of its parameters, and solves for the
one that is left.  Or opens the settings of a window saved in a settings
file and calculates them again.

Selection (exactly one):
  --test I             Test Procedures menu item: its index (0, 1, 2, 4, 5, 6,
                       7, 9, 10, 12, 13, 14, 16, 17, 18) or its caption without
                       "&" ("Student's unpaired t-test"; case does not matter)
  --distribution I     Sample Distributions menu item: its index (0, 1, 2, 4,
                       5, 6, 8, 10) or its caption without "&"
  --parameter K        parameter choice of the distribution: index (default 0)
                       or its text
  --kind KIND          test, estimate or interval (default test)

Choices of the options dialog, applied after --parameter and --kind, in
this order:
  --samples 1|2        number of samples
  --tails 1|2|3        one-sided, two-sided, two one-sided
  --left-tail          reject in the left tail (a test only)
  --option ID          tick option ID (0..14) or its caption without "&";
                       each is followed by the procedure's rebuild (repeatable)
  --mode G=M           interchangeable-parameter group G (0..36) takes form M
                       (0, 1 or 2) (repeatable)
  --option "Plan by Power"
                       plan a test (a test procedure, or --kind test) by its
                       power: the P-value is the significance level, "Power"
                       (start-up 0.80) is listed beneath it and can be set,
                       solved and stepped like any parameter, and the result
                       is the design whose power equals it
  --power P            the same with --set "Power=P"
  --interims K         K interim analyses (0..5, default 0) of a test planned
                       by power with one or two tails: a group-sequential
                       design whose power (crossing an efficacy bound under
                       the drift z(1 - a) + z(fixed power), a = alpha or
                       alpha / 2) equals the requested one; a solved size is
                       the maximum size
  --boundary NAME      the efficacy bounds: "O'Brien-Fleming" (default),
                       "Pocock", "Wang-Tsiatis", "Haybittle-Peto",
                       "O'Brien-Fleming Spending", "Pocock Spending",
                       "Kim-DeMets Spending", "Hwang-Shih-DeCani Spending"
  --boundary-parameter X
                       the family's parameter: Wang-Tsiatis Delta (0..0.5,
                       0.25), Haybittle-Peto z (2..6, 3), Kim-DeMets rho
                       (0.1..10, 3), Hwang-Shih-DeCani gamma (-40..40, -4)
  --futility NAME      futility bounds by beta spending: "None" (default) or
                       a spending family
  --futility-parameter X
                       the futility family's parameter
  --binding            futility bounds that bind (the efficacy bounds count
                       their stops under H0)
  --fractions "T1 .. 1"
                       the information fractions of the analyses, rising to
                       1 (default: equally spaced)
  A boundary, fractions or futility without interim analyses, interims
  outside 0..5, an unknown family, a parameter outside its family's range
  or fractions that do not rise to 1 are bad usage.
  Then the parameter list is built.  A choice that the dialog does not offer
  for the selection, or that a later choice undoes, is a usage error.

Values:
  --set NAME=VALUE     value text of a listed parameter (repeatable).  NAME is
                       a catalogue id or a caption without "&"; a caption may
                       leave out its "*" marks; an id that the list does not
                       hold names the listed parameter with the same caption
                       ("Sample Size 1" is 4, 39 and 164).  VALUE holds only
                       "0123456789.-, " (a decimal comma reads as a point),
                       and a number is read as written or refused: a
                       magnitude beyond 1.7976931348623157e308, or one
                       closer to 0 than 2.2250738585072014e-308 that would
                       be read as 0 or with fewer digits, is bad usage.
                       A parameter is set once: two --set of one parameter
                       (by its id and its caption alike) are bad usage.
                       Unset parameters keep their start-up value texts.
  --unknown NAME       the parameter to solve (default: list position 0)
  Position 1 (Power in the tests) has no value box: it is never printed and
  can be neither set, solved nor stepped; planned by power, a test lists
  Power again beneath the P-value, where --set "Power=0.9" sets it.
  A flag's value follows it as the next argument or after "=" ("--set=4=40").

Actions:
  (default)            solve once and print the description, a rule of "-"
                       and one "caption: value" line per parameter (captions
                       padded to one width), the unknown's value being the
                       result or "-", then the power of the solved design
                       ("Power of this design: 0.8000", with the whole
                       sample sizes and their power when a size was solved)
                       and, after an empty line, the paragraph that states
                       the solved design for a study protocol
  --json               solve once and print one JSON object:
                         {"description": str,
                          "unknown": {"id": int, "caption": str,
                                      "value": number|null, "text": str,
                                      "reason": str|null, "note": str},
                          "power": number|null,
                          "whole": {"sizes": [number], "total": number,
                                    "power": number|null,
                                    "dropout": number,
                                    "recruit": [number],
                                    "recruit_total": number}|null,
                          "sequential": {"boundary": str,
                              "inflation": number|null,
                              "maximum": {"sizes": [number],
                                          "total": number},
                              "expected": {"h1": number, "h0": number},
                              "looks": [{"look": int, "fraction": number,
                                  "sizes": [number], "total": number,
                                  "efficacy_z": number,
                                  "efficacy_p": number,
                                  "futility_z": number|null,
                                  "cumulative_alpha": number,
                                  "reject_h1": number, "stop_h1": number,
                                  "stop_h0": number}]}|null,
                          "statement": str,
                          "parameters": [{"position": int, "id": int,
                                          "caption": str, "text": str,
                                          "value": number|null}],
                          "messages": [str]}
                       parameters: every list position but 1, the unknown
                       included; value null and text "-" where the unknown is
                       not calculable, "reason" then saying why (null
                       otherwise); a result beyond a limit of the unknown
                       has value null and a text such as "< 0.00001"; a
                       step of an exact P-value or a limit adds "note";
                       "power": the power of the test at the values shown,
                       the solved one included (null for no test or without
                       a value); "whole": when a sample size was solved, the
                       first size rounded up, the second derived from it by
                       its form and rounded up, their total and the power
                       at them (null otherwise); "sequential": with
                       interim analyses, the design: each look's sizes
                       (the maximum sizes times the fraction, rounded up),
                       bounds, alpha spent and probabilities of stopping
                       under the assumed values (h1) and H0, the expected
                       subjects in all and the inflation factor (null
                       without interim analyses); "statement": the
                       paragraph for a study protocol (left out without a
                       solved value);
                       numbers in shortest round-trip form
                       With --table: the table as one JSON object:
                         {"description": str, "headings": [str],
                          "unknown": {"id": int, "caption": str},
                          "x": {"id": int, "caption": str,
                                "values": [number]},
                          "z": {"id": int, "caption": str,
                                "values": [number]},
                          "results": [[number|null]],
                          "parameters": [...], "messages": [str]}
                       results: one array per z value, one result per x
                       value, null where a point is not calculable;
                       parameters: those held fixed (not the unknown, x or
                       z), as above
  --describe           print the parameter list, one parameter per line:
                       position, id, caption and value text, tab-separated
  --list               print the menus with their indices, the parameter
                       choices of each distribution, the options and the
                       interchangeable-parameter groups
  --table --x NAME=MIN:MAX:STEP [--z NAME="V1 V2 ..."]
                       (NAME as for --set) solve the unknown at every x step
                       (at most 100) for every z value (separated by
                       blanks); without --z, z is the first position other
                       than 0, 1, the unknown and x, at its current value.
                       Prints the table as the Table window lays it out:
                       the headings, each centred, then blocks of columns
                       (x column and one column per z value, each block
                       with its own rules and headings); a point that is
                       not calculable is "-"; lines end in CR LF
  --columns N          z columns per block of the table, 1 to 10 (default 10)
  --decimals D         decimals of the results, 0 to 8, or "auto" (the
                       default: chosen from the smallest and largest result)
  --csv                with --table: print comma-separated values instead:
                       "# " and each heading line, a header row (x caption,
                       then "caption = value" per z value), one row per x
                       with an empty field where a point is not calculable;
                       lines end in CR LF
  --whole              with --table, where the unknown is a sample size:
                       each result as the whole size a study recruits
                       (rounded up), followed by the subjects in all in
                       brackets where that is more, as in 64 (128); with --csv
                       two columns per z value, the whole size and
                       "caption = value, in all"
  --graph FILE         with or without --table, and with its --x and --z:
                       draw the results as curves, one per z value, into
                       FILE, a PNG or SVG picture or a PDF page by its
                       extension (.png, .svg, .pdf).  The headings of a
                       graph stand above the plot; the axis titles are the
                       captions of x, the unknown and z; the axes are scaled
                       automatically.  Writes nothing on standard output
                       (but the table when --table is given too).  The
                       drawing is done by the program pelmora-graph beside
                       pelmora-cli, or by the one the environment variable
                       PELMORA_GRAPH_PROGRAM names.  A build without Qt
                       cannot draw: there --graph is bad usage
  --graph-size WxH     the picture's size in pixels, each 100 to 5000
                       (default 800x500); a PDF page keeps its shape
  --graph-dpi N        the picture's resolution in dots per inch, 50 to
                       1200 (default 96): the text and lines are drawn to
                       it, and a PNG records it (300 for print)
  --rtf                print the rich-text document (RTF) that Copy puts on
                       the clipboard instead of the text: the calculation's
                       output (the description centred, a rule, the
                       parameters two to a line, the halves separated by a
                       tab) or, with --table, the table; laid out for a
                       fixed-pitch font, in the output font.  Not with
                       --json, --describe or --csv
  --font NAME          the font of the graph and of --rtf (default Arial)
  --font-size N        its size in points, 1 to 72 (default 9)
  --help               print this text

Batch mode:
  --batch              read requests from standard input, one JSON object
                       per line (JSON Lines; blank lines are passed over),
                       and write one JSON result per line, in the order of
                       the requests.  A request's keys are the flags without
                       their dashes:
                         "test", "distribution", "parameter", "kind",
                         "samples", "tails", "unknown", "power": a number
                                or a string
                         "left_tail": true or false
                         "interims", "boundary", "boundary_parameter",
                         "futility", "futility_parameter", "fractions":
                                a number or a string; "binding": true
                                or false
                         "options": [ID or caption, ...]
                         "modes": {"G": M, ...}
                         "set": {"NAME": VALUE, ...} (NAME as for --set;
                                VALUE a number or a string; a number
                                with an exponent is written out, 1e-3
                                as 0.001)
                       A number of any key is read as written or refused,
                       as --set refuses it (1e309 or 1e-400 is "usage",
                       the message naming the key).  A line is at most
                       1 MiB (1048576 bytes) without its line end; a longer
                       one is "usage" and is not read.  A request is UTF-8:
                       a string that is not is "usage" too.
                         "table": {"x": "NAME=MIN:MAX:STEP",
                                   "z": "NAME=V1 V2 ..."} (z optional)
                         "id": a number or a string, echoed in the result
                       for example
                         {"id": 1, "test": 0, "set": {"Mean 2*": 0.5},
                          "unknown": "P-value"}
                       A request is answered as the single call with the
                       same flags and --json: its result is that call's JSON
                       object (with "table", that of the table) with "id"
                       (when given), "status" and "message" first.  status: "solved", "not calculable",
                       "rejected" (a check refused the values) or "usage"
                       (the line is no request: malformed JSON, an unknown
                       key or caption, a bad value); message: what the call
                       writes to standard error, lines joined by "\n", ""
                       when nothing.  Only a solved or not calculable
                       request carries the members of its JSON object.  A
                       failed request does not stop the stream: the exit
                       status is 0 once the input is read to its end.  The
                       answer to a line that is not a JSON object (malformed
                       JSON, invalid UTF-8, too long) has no "id".  Every
                       answer is one line of JSON in UTF-8: a byte of a
                       message that is no UTF-8 is written as "\ufffd".
                       When an answer cannot be written the stream ends
                       with status 6

Settings files:
  FILE.dim             (an argument whose name ends in ".dim", in any case)
                       open the settings file as File > Open File... does:
                       it is read and checked, its procedure, options,
                       values and roles are restored, and the result is
                       calculated again.  The file chooses the procedure:
                       --test, --distribution, --parameter, --kind,
                       --samples, --tails, --left-tail, --option and --mode
                       are bad usage beside it.  A Calculation window's file
                       is solved once and printed as text, --json or --rtf,
                       and so is a Monte Carlo window's (--simulate
                       simulates it);
                       the range of a Table or Graph window's file is solved
                       with the file's x range and z values and its table
                       printed (as text, --csv or --rtf) with the file's
                       columns and decimals, or, with --graph FILE, drawn
                       with the file's graph titles, axes and font (and
                       printed as well with --table).  The heading lines a
                       Table's file keeps head its table, those of a Graph's
                       file its graph, unless --set, --unknown, --x or --z
                       change what they describe.  Beside the file, --set,
                       --unknown, --x, --z, --columns and --decimals take
                       the place of the file's values (an --unknown on the
                       file's x or z needs --x or --z too); --x, --z,
                       --table, --graph, --csv, --columns, --decimals and
                       --graph-size are bad usage for a Calculation window's
                       file, --json for a Table's or a Graph's.  --describe
                       prints the file's parameter list.  A file that
                       cannot be opened is reported on standard error
                       (status 5): one that cannot be read, is no settings
                       file of this program, holds no parameter list,
                       or whose settings do not
                       fit the procedure they select
  --simulate N         after a single calculation, simulate N studies (100 to
                       10000000) of the design at its whole sizes, each
                       analysed with the procedure's own test, under the
                       assumed values (power) and under H0 (level)
  --seed S             the simulation's seed (default 1): the same seed gives
                       the same numbers with any number of threads
  --threads T          the simulation's worker threads (default: the cores)
  --data MODEL         the observations of a continuous-data test: normal,
                       log-normal, t3 or uniform (default normal)
  --dropout D          the expected dropout rate, 0 to 0.9: the whole sizes
                       of a solved sample size give the sizes to recruit,
                       each divided by 1 - D and rounded up, with their
                       total ("dropout", "recruit" and "recruit_total" in
                       --json; an estimate's or an interval's whole sizes
                       then have a line of their own); with --simulate each
                       subject's observation is missing with that
                       probability
  --save FILE.dim      after the calculation, save the window's settings to
                       FILE.dim as Save As does: the selection, options,
                       values (the unknown's as calculated), roles, x range
                       and z values, and for a table or graph its heading
                       lines, columns, decimals and (--graph) axis titles
                       and font.  A single solve is saved as a Calculation
                       window, --table as a Table, --graph as a Graph; an
                       opened file keeps its kind.  Nothing is saved when
                       the values are rejected (status 2) or no point of a
                       range can be calculated.  A Graph window keeps its
                       font size in whole points: there --font-size with
                       --graph and --save must be a whole number.  The file
                       is written whole or not at all, through a temporary
                       ".FILE.dim.XXXXXX.part" beside it: SIGTERM, SIGINT
                       or SIGHUP during the save removes it, and the next
                       save to FILE.dim removes those that a program killed
                       otherwise left

Exit status:
  0  solved, a step of an exact P-value or a result beyond a limit (and
     the graph file written, the settings file saved)
  1  bad usage (the message names the argument), or an unexpected failure
  2  a check or the range validation rejected the values, or no procedure
     module serves the selection yet; the message is on standard error
  3  solved but not calculable: "-", or a range for which the engine reports
     "Can't Be Calculated For Any x-value" (nothing is printed nor drawn),
     or a graph with "Insufficient resolution in the X direction !" (or Y),
     which is not written
  4  the graph file cannot be written; the reason is on standard error.
     Also: the settings file of --save cannot be written (the result is
     printed all the same)
  5  the settings file cannot be opened; the reason is on standard error
  6  standard output cannot be written (a full disk, a failing device):
     what was printed is lost; standard error says "the output cannot be
     written:" and the system's reason.  This status takes the place of any
     other.  (A pipe closed by its reader ends the program by SIGPIPE, as
     it ends other programs, unless SIGPIPE is ignored)
  With status 1, 2 or 5 nothing is written to standard output nor saved.

The engine's messages are written to standard error, each on its own line,
and with --json are also listed under "messages".  Standard error also says
why a result is "-" (or how a step or a limit was found), and, after a range,
how many points have no value and the most common reason.  A value must be
one number: "2.5.3" or "3-" is bad usage.
)";
  return text;
}

}  // namespace pelmora
