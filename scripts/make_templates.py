#!/usr/bin/env python3
"""Writes the protocol templates share/docway.prn (thickness scan) and share/docizm.prn (single
readings): windows-1251, CR LF, as the program and the operators' editors expect them.

Field codes: $T date (9 template characters), $L length or count (5), $N point (5),
$A thickness and flag (8). A line holding "&" starts the row block; the line after it is the row.
"""
import pathlib

SHARE = pathlib.Path(__file__).resolve().parent.parent / "share"

# Field width in the template = width of what replaces it, so the columns line up as written.
T, L, N, A = "$T_______", "$L___", "$N___", "$A______"


def table(first_title):
    # Column bodies: 16 and 12 characters wide, values centred.
    # The row ends with its last field: the row on which the points run out stops there, so
    # a right border would be missing on that one row.
    rule = "+" + "-" * 16 + "+" + "-" * 12
    head = "|" + first_title.center(16) + "|" + " Толщина, мм"
    row = "|" + " " * 5 + N + " " * 6 + "|" + " " * 4 + A
    assert len(rule) == len(row), (len(rule), len(row))
    return [rule, head, rule, "&", row, rule]


def protocol(subtitle, length_line, first_title, legend):
    lines = [
        "",
        "          ПРОТОКОЛ УЛЬТРАЗВУКОВОГО КОНТРОЛЯ ТОЛЩИНЫ СТЕНКИ",
        subtitle.center(66).rstrip(),
        "",
        "Дата контроля: " + T + "      " + length_line,
        "Объект контроля: ______________________________________________",
        "Участок (труба, лист): ________________________________________",
        "Толщиномер, зав. №: ______________  Номинальная толщина, мм: ____",
        legend,
        "",
    ]
    lines += table(first_title)
    lines += [
        "",
        "Заключение: ___________________________________________________",
        "",
        "Контроль выполнил: ________________________  Подпись: __________",
        "",
    ]
    for line in lines:
        assert len(line) <= 70, line
    return lines


def write(name, lines):
    data = ("\r\n".join(lines) + "\r\n").encode("cp1251")
    (SHARE / name).write_bytes(data)


legend = "Толщина ниже порога браковки отмечена знаком *."
write("docway.prn", protocol("(сканирование, шаг 2 мм)", "Длина трассы, мм: " + L,
                             "Длина, мм", legend))
write("docizm.prn", protocol("(точечные замеры)", "Число замеров: " + L,
                             "№ замера", legend))
