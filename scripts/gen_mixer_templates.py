#!/usr/bin/env python3
"""Writes the input mixer's three templates (res/dialogs/308.dlg, 558.dlg,
559.dlg): the same 465 controls with the same ids, in the sizes of each
template. The code places every cell and caption itself, so the template
positions are only a rough grid. The id tables here are the ones of
dialogs/mixerlayout.cpp (a test compares them with the templates)."""
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

CHANNELS, INPUTS = 12, 18

# Columns 12..17 of the edit and slider tables, per channel.
EDIT_TAIL = [
    (1333, 1334, 1406, 1405, 1433, 1434), (1335, 1336, 1407, 1418, 1435, 1436),
    (1337, 1338, 1408, 1419, 1437, 1438), (1339, 1340, 1409, 1420, 1439, 1440),
    (1341, 1342, 1410, 1421, 1441, 1442), (1343, 1344, 1411, 1422, 1443, 1444),
    (1345, 1346, 1412, 1423, 1445, 1446), (1347, 1348, 1413, 1424, 1447, 1448),
    (1361, 1362, 1414, 1425, 1465, 1466), (1375, 1376, 1415, 1427, 1467, 1468),
    (1389, 1390, 1416, 1428, 1469, 1470), (1403, 1404, 1417, 1429, 1471, 1472),
]
SLIDER_TAIL = [
    (1145, 1146, 1217, 1229, 1449, 1450), (1147, 1148, 1218, 1230, 1451, 1452),
    (1149, 1150, 1219, 1231, 1453, 1454), (1151, 1152, 1220, 1232, 1455, 1456),
    (1153, 1154, 1221, 1233, 1457, 1458), (1155, 1156, 1222, 1234, 1459, 1460),
    (1157, 1158, 1223, 1235, 1461, 1462), (1159, 1160, 1224, 1236, 1463, 1464),
    (1173, 1174, 1225, 1426, 1473, 1474), (1187, 1188, 1226, 1430, 1475, 1476),
    (1201, 1202, 1227, 1431, 1477, 1478), (1215, 1216, 1228, 1432, 1479, 1480),
]
SOURCE_LABEL = [1511, 1512, 1513, 1514, 1515, 1516, 1517, 1518, 1519, 1520, 1521, 1522,
                1535, 1536, 1537, 1538, 1539, 1540]
SOURCE_TEXT = [" Hi.1", " Hi.2", " Hi.3", " Hi.4", " Hi.5", " Hi.6", " AUX-1", " AUX-2",
               " Opt-L", " Opt-R", " BT-L", " BT-R", " Hi.7", " Hi.8", " AUX-3", " AUX-4",
               "Hi.9", "Hi.10"]
ROW_ORDER = [0, 1, 2, 3, 4, 5, 12, 13, 16, 17, 6, 7, 14, 15, 8, 9, 10, 11]


def edit_id(c, b):
    if b < 12:
        return 1237 + 12 * c + b if c < 8 else 1360 + 14 * (c - 8) - b
    return EDIT_TAIL[c][b - 12]


def slider_id(c, b):
    if b < 12:
        return 1049 + 12 * c + b if c < 8 else 1161 + 14 * (c - 8) + b
    return SLIDER_TAIL[c][b - 12]


# template id, name, (English, Chinese) size, title rect (English, Chinese)
TEMPLATES = [
    (308, "IDD_CH_INPUT_VOL", ((824, 394), (824, 397)), ((13, 6, 159, 8), (13, 6, 159, 8))),
    (558, "IDD_CH_INPUT_VOL_5", ((824, 357), (824, 403)), ((13, 6, 159, 8), (13, 6, 159, 8))),
    (559, "IDD_CH_INPUT_VOL_6", ((824, 355), (824, 355)), ((13, 10, 159, 8), (13, 9, 198, 8))),
]


def rect(r):
    return " ".join(str(v) for v in r)


def write(template_id, name, sizes, title):
    out = [f"# Input mixer: 12 x 18 cells (field and slider), the input and channel captions.",
           f"# Written by scripts/gen_mixer_templates.py; edit the script, not this file.",
           f"dialog {template_id} {name}",
           "style DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_SYSMENU",
           f"rect.en 0 0 {sizes[0][0]} {sizes[0][1]}",
           f"rect.zh 0 0 {sizes[1][0]} {sizes[1][1]}",
           "font 8 MS Shell Dlg", "",
           "control 1 IDOK BUTTON", "style BS_DEFPUSHBUTTON | NOT WS_VISIBLE | WS_TABSTOP",
           "rect 700 10 40 14", "text OK", "",
           "control 2 IDCANCEL BUTTON", "style BS_OWNERDRAW | WS_TABSTOP", "rect 790 3 24 14", "",
           "control 1769 IDC_MIXER_TITLE STATIC",
           f"rect.en {rect(title[0])}", f"rect.zh {rect(title[1])}",
           "text.en Input Volume", "text.zh 音量输入", ""]
    for c in range(CHANNELS):
        out += [f"control {1523 + c} IDC_MIXER_CH{c + 1} STATIC", "style SS_CENTER",
                f"rect {60 + 64 * c} 20 22 8", f"text CH{c + 1}", ""]
    for b in range(INPUTS):
        row = ROW_ORDER.index(b)
        narrow_en = b >= 16 and template_id != 308
        out += [f"control {SOURCE_LABEL[b]} IDC_MIXER_IN{b + 1} STATIC", "style SS_CENTER",
                f"rect.en 4 {34 + 18 * row} {39 if narrow_en else 49} 8",
                f"rect.zh 4 {34 + 18 * row} 39 8", f"text {SOURCE_TEXT[b]}", ""]
    for c in range(CHANNELS):
        for b in range(INPUTS):
            row = ROW_ORDER.index(b)
            x, y = 56 + 64 * c, 32 + 18 * row
            out += [f"control {edit_id(c, b)} IDC_MIXER_EDIT_CH{c + 1}_IN{b + 1} EDIT",
                    "style ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP", f"rect {x} {y} 20 10", "",
                    f"control {slider_id(c, b)} IDC_MIXER_SLIDER_CH{c + 1}_IN{b + 1} SLIDER",
                    "style TBS_BOTH | TBS_NOTICKS | WS_TABSTOP", f"rect {x + 21} {y} 40 12", ""]
    with open(os.path.join(ROOT, "res", "dialogs", f"{template_id}.dlg"), "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    for t in TEMPLATES:
        write(*t)
