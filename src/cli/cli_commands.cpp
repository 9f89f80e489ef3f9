#include "cli/cli.h"

namespace ws::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"dump", "load a .mem file as the program does and write it back in the .mem layout",
         "Usage: wallscan-cli dump [--filter] FILE\n\n"
         "Loads FILE exactly as \"Открыть файл\" does (isolated gaps filled; with --filter the\n"
         "spike and step filter too, for a thickness scan) and writes the record to standard\n"
         "output in the .mem layout, byte for byte what the program would save.\n\n"
         "Exit status: 0 done, 1 the file could not be read, 2 bad usage.\n",
         false, RunDump},
        {"csv", "write a .mem file as CSV for spreadsheets",
         "Usage: wallscan-cli csv [--filter] [--locale-ru] FILE\n\n"
         "Writes the trace as CSV (RFC 4180) to standard output: a header line, then one row\n"
         "per point: point number, coordinate in mm (2 per point), thickness in mm with two\n"
         "decimals, and whether the gauge had contact (1 or 0).\n"
         "--locale-ru  for spreadsheets set to a decimal-comma locale: \";\" between fields,\n"
         "             \",\" as decimal mark, and a UTF-8 byte-order mark.\n"
         "--filter     apply the spike and step filter, as with the program's filter on.\n\n"
         "Exit status: 0 done, 1 the file could not be read, 2 bad usage.\n",
         false, RunCsv},
        {"download", "download the gauge's trace over a serial line",
         "Usage: wallscan-cli download --device DEV --baud 2400|9600|57600 [--filter] [-o FILE]\n"
         "                             [--no-archive | --archive DIR]\n\n"
         "Downloads the trace stored in the gauge exactly as \"Ввод из прибора\" does and writes\n"
         "it in the .mem layout to FILE, or to standard output. DEV is COM1 or COM2 (mapped to\n"
         "a device as in the program's port settings) or a device path such as /dev/ttyUSB0.\n"
         "The program's messages and the progress go to standard error.\n"
         "The trace and the bytes as they came are filed in the survey archive, as the program\n"
         "files its downloads (see wallscan-cli archive --help).\n"
         "--filter      apply the spike and step filter to a thickness scan\n"
         "--no-archive  do not file the download in the archive\n"
         "--archive DIR file it in the archive in DIR instead of the user's\n\n"
         "Exit status: 0 a trace came, 1 no connection (\"Нет связи!\"), 2 bad usage.\n",
         true, RunDownload},
        {"profile", "render the wall-section sheet of a scan as PDF (printout) or PNG (window)",
         "Usage: wallscan-cli profile FILE -o OUT.pdf|OUT.png [--mark FROM-TO]...\n"
         "                            [--zoom Z --center MM] [--range min-max|0-max]\n\n"
         "Draws the sheet of the profile viewer for a thickness scan: a PDF exactly as the\n"
         "printout (one landscape page, the printout's greys), a PNG as the window shows it.\n"
         "--mark FROM-TO  mark the points whose coordinate in mm lies in FROM..TO (inclusive);\n"
         "                may be given several times; the marked part's minimum is shown\n"
         "--zoom Z        magnification (1 = the whole trace, 2, 4, ...)\n"
         "--center MM     coordinate in mm at the centre of the zoomed sheet\n"
         "--range R       Y axis from the smallest thickness (min-max) or from 0 (0-max,\n"
         "                the default)\n\n"
         "Exit status: 0 done, 1 the file could not be read or written, 2 bad usage.\n",
         true, RunProfile},
        {"relief", "draw the relief of a folder's scans into a PNG or PDF page",
         "Usage: wallscan-cli relief FOLDER -o OUT.png|OUT.pdf [--theta T] [--phi P]\n"
         "                           [--zoom Z] [--spacing S]\n\n"
         "Reads the .mem files of FOLDER (at most ten, by name) as \"Поверхность\" does and\n"
         "writes the relief page: the picture, the legend (minimum, maximum and file of each\n"
         "trace) and the readout at the middle point of the middle trace.\n"
         "--theta  angle about the vertical axis, -80..-10 degrees (default -60)\n"
         "--phi    angle about the longitudinal axis, -170..-95 degrees (default -110)\n"
         "--zoom   1, 2, 4 .. 128 (default 1); the view centres on the marker\n"
         "--spacing  trace spacing 1, 2, 4, 8 or 16 (default 1)\n\n"
         "Exit status: 0 done, 1 no usable files or the page could not be written, 2 bad usage.\n",
         true, RunRelief},
        {"table", "write the pages of the results table (the protocol) as text",
         "Usage: wallscan-cli table FILE [--template T] [--rows N] [--threshold MM]\n"
         "                          [--mark FROM-TO]... [--page K | --all] [--date DD/MM/YYYY]\n\n"
         "Loads FILE as \"Открыть файл\" does and writes the page of the results table that the\n"
         "window shows, rendered from the regime's template (docway.prn for a scan, docizm.prn\n"
         "for single readings, looked up in the current folder first, then beside the program).\n"
         "Output in UTF-8, lines ended by CR LF as in the window.\n"
         "--template T    render from the template file T instead\n"
         "--rows N        rows per page (default 36)\n"
         "--threshold MM  thickness below which a reading is flagged \" *\" (default 0)\n"
         "--mark FROM-TO  in a scan, list the points whose coordinate in mm lies in FROM..TO\n"
         "                (inclusive); may be given several times; without it every point is\n"
         "                listed. Single readings always list every reading.\n"
         "--page K        the page shown after K-1 presses of \"Вперед\" (default 1)\n"
         "--all           every page up to the last, separated by a form-feed line\n"
         "--date D        the date of the protocol, DD/MM/YYYY (default today)\n\n"
         "Exit status: 0 done, 1 the file or the template could not be used or nothing to list\n"
         "(\"Нет информации!\"), 2 bad usage.\n",
         true, RunTable},
        {"archive", "the survey archive: list, show, export, import, describe, objects",
         "Usage: wallscan-cli archive list [--object NAME] [--since YYYY-MM-DD] [--find TEXT]\n"
         "                                 [--deleted] [--json]\n"
         "       wallscan-cli archive show ID [--json]\n"
         "       wallscan-cli archive export ID -o FILE.mem      (-o - : standard output)\n"
         "       wallscan-cli archive import PATH...\n"
         "       wallscan-cli archive describe ID [--object NAME] [--section S] [--inspector I]\n"
         "                                        [--date YYYY-MM-DD] [--notes N]\n"
         "       wallscan-cli archive objects [--json]\n"
         "       wallscan-cli archive object NAME [--nominal MM] [--min-allowed MM] [--notes N]\n"
         "       wallscan-cli archive check\n\n"
         "The archive that the program fills: every download and every saved trace, with its\n"
         "description. It lives in the user's data folder (~/.local/share/WallScan on Linux,\n"
         "%LOCALAPPDATA%\\WallScan on Windows); --archive DIR, given to any subcommand, uses\n"
         "another one.\n"
         "list      entries, newest first; --object exact name (any case), --since inspection\n"
         "          date, --find words in object, section, inspector and notes, --deleted the\n"
         "          entries moved to \"Удалённые\"\n"
         "show      everything known about one entry\n"
         "export    writes the archived .mem file\n"
         "import    takes .mem files and the .mem files of folders, dated by the files\n"
         "describe  sets the description; what is not given keeps its value; an unknown\n"
         "          object is created\n"
         "objects   the catalog of objects with their thicknesses in mm\n"
         "object    creates an object or sets its nominal and minimum allowed thickness\n"
         "check     lists files in traces/ that no entry names and entries whose file is gone\n\n"
         "Exit status: 0 done, 1 the archive or an entry could not be used (or a file was not\n"
         "imported, or the check found something), 2 bad usage.\n",
         false, RunArchive},
        {"stats", "statistics of a scan against the minimum allowed and nominal thickness",
         "Usage: wallscan-cli stats FILE [--filter] [--mark FROM-TO]... [--tmin MM] [--tnom MM]\n"
         "                          [--json]\n\n"
         "Loads FILE as \"Открыть файл\" does and writes the statistics of the whole trace, or\n"
         "of the points whose coordinate in mm lies in the marked ranges: points, readings\n"
         "(thickness of 0.01 mm and more), no contact, minimum and maximum with their\n"
         "coordinates, mean and sample standard deviation of the readings.\n"
         "--mark FROM-TO  the points whose coordinate in mm lies in FROM..TO (inclusive); may\n"
         "                be given several times\n"
         "--tmin MM       minimum allowed thickness: readings below it, their length in mm and\n"
         "                share, and the longest run of consecutive points below it\n"
         "--tnom MM       nominal thickness: mean and largest loss in percent\n"
         "--filter        apply the spike and step filter, as with the program's filter on\n"
         "--json          one JSON object (keys points, readings, no_contact, min, min_at_mm,\n"
         "                max, max_at_mm, mean, sd; tmin, below_tmin, below_tmin_mm,\n"
         "                below_tmin_percent, longest_below_mm with --tmin; tnom,\n"
         "                mean_loss_percent, max_loss_percent with --tnom; null where\n"
         "                undefined) instead of the Russian table\n\n"
         "Exit status: 0 done, 1 the file could not be read, 2 bad usage.\n",
         false, RunStats},
        {"map", "draw the corrosion map of a folder's scans into a PNG or PDF page",
         "Usage: wallscan-cli map FOLDER -o OUT.png|OUT.pdf [--tmin MM] [--tnom MM]\n"
         "                        [--spacing MM]\n\n"
         "Reads every .mem thickness scan of FOLDER in name order, one row per scan, one cell\n"
         "per point, and writes the map on a landscape page with its colour bar, the folder\n"
         "and the date. Files that are not scans or cannot be read are listed on standard\n"
         "error and left out.\n"
         "--tmin MM     minimum allowed thickness }  with both: red below tmin, graded up to\n"
         "--tnom MM     nominal thickness         }  tnom, greens above; otherwise a\n"
         "                                           perceptual scale over the readings\n"
         "--spacing MM  distance between neighbouring scans (default 10)\n\n"
         "Exit status: 0 done, 1 no usable scan or the page could not be written, 2 bad usage.\n",
         true, RunMap},
        {"compare", "corrosion rate between two inspections of the same line",
         "Usage: wallscan-cli compare EARLIER LATER [--shift N | --max-shift S] [--years Y]\n"
         "                            [--tmin MM] [--json] [--archive DIR]\n\n"
         "EARLIER and LATER are .mem files or survey archive entries (#12). The later scan is\n"
         "moved by s points against the earlier one (later point i + s lies on earlier point\n"
         "i), s in -S..S, and the shift with the smallest mean absolute difference of the\n"
         "thickness wins (shifts whose overlap is shorter than half of the shorter scan's\n"
         "readings are not considered; ties go to the smaller |s|, then to the positive one).\n"
         "Then: the loss per point (earlier minus later), its mean and largest value with the\n"
         "coordinate in the later scan, the years between the inspections, the rates, the\n"
         "thinnest reading now and, with a minimum allowed thickness, the remaining life.\n"
         "--shift N      use this shift instead of searching\n"
         "--max-shift S  search -S..S (default 200)\n"
         "--years Y      years between the inspections (default: from the archive's\n"
         "               inspection dates)\n"
         "--tmin MM      minimum allowed thickness (default: the later entry's object's)\n"
         "--json         one JSON object: shift_points, overlap_points, mean_loss, max_loss,\n"
         "               max_loss_at_mm, years, rate_mean, rate_max, min_now,\n"
         "               remaining_life_years (mm and mm per year to 0.001, years to 0.01, null\n"
         "               where undefined)\n"
         "--archive DIR  the archive in DIR instead of the user's\n\n"
         "Exit status: 0 done, 1 a scan could not be used or the scans do not align, 2 bad "
         "usage.\n",
         false, RunCompare},
        {"report", "write the inspection report of a scan as a PDF of A4 sheets",
         "Usage: wallscan-cli report FILE|#ID -o OUT.pdf [--mark FROM-TO]... [--tmin MM]\n"
         "                           [--tnom MM] [--previous FILE|#ID [--shift N] | "
         "--no-previous]\n"
         "                           [--date YYYY-MM-DD] [--archive DIR]\n\n"
         "Writes the report the program makes with \"Отчёт...\": A4 sheets in Russian, a title\n"
         "block (object, section, inspector, inspection date, where the scan came from, the\n"
         "thicknesses, the report's date, the sheet count), the profile sheet as printed, the\n"
         "statistics of the whole trace and of the marked part with the histogram, the\n"
         "comparison with a previous inspection, and the results table pages of the marked\n"
         "part (or of every reading). Every sheet has a footer with the object, the inspection\n"
         "date and \"Лист N из M\".\n"
         "--mark FROM-TO   the marked part in mm (inclusive); may be given several times\n"
         "--tmin, --tnom   minimum allowed and nominal thickness (default: the archive\n"
         "                 object's); readings below tmin are flagged in the table\n"
         "--previous X     the earlier inspection to compare with; for an archive entry the\n"
         "                 last earlier inspection of the same object and section is taken\n"
         "                 unless --no-previous\n"
         "--shift N        the comparison's shift instead of the best one\n"
         "--date D         the report's date (default today)\n"
         "--archive DIR    the archive in DIR instead of the user's\n\n"
         "Exit status: 0 written, 1 a scan could not be used or the file not written, 2 bad\n"
         "usage.\n",
         true, RunReport},
    };
    return commands;
}

}  // namespace ws::cli
