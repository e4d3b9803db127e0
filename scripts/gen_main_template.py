#!/usr/bin/env python3
"""Writes res/dialogs/102.dlg, the main window's template IDD_TARVEL_DIALOG,
and res/families.tsv, its control-id families by name (the build turns them
into the arrays of "res/control_families.h").

The tables below are the control ids, kinds, styles and texts of the main
window. Positions are the 96-dpi pixel layout of a 10-output device (the code
moves every control anyway); they are turned into dialog units with the base
units of "MS Shell Dlg" 9 pt at 96 dpi (7 x 14 pixels), so the unskinned
window is readable.

Usage: scripts/gen_main_template.py [template [families]]
       (default res/dialogs/102.dlg and res/families.tsv)
"""

import os
import sys

BASE_X, BASE_Y = 7, 14  # dialog base units of the template font at 96 dpi


def du_x(px):
    return (px * 4 + BASE_X // 2) // BASE_X


def du_y(px):
    return (px * 8 + BASE_Y // 2) // BASE_Y


def rect(x, y, w, h):
    """Pixel rectangle -> dialog-unit rectangle (edges rounded, not sizes)."""
    left, top = du_x(x), du_y(y)
    return (left, top, max(1, du_x(x + w) - left), max(1, du_y(y + h) - top))


# Per-channel ids, CH1..CH12.
SELECT = [1008, 1009, 1010, 1011, 1012, 1013, 1279, 1280, 1287, 1467, 1468, 1469]
PHASE = [1035, 1036, 1037, 1038, 1039, 1040, 1281, 1282, 1478, 1479, 1480, 1481]
MUTE = [1041, 1042, 1043, 1044, 1045, 1046, 1283, 1284, 1482, 1483, 1484, 1485]
DELAY_UNIT = [1262, 1263, 1264, 1285, 1288, 1289, 1406, 1407, 1474, 1475, 1476, 1477]
CURVE = [1291, 1292, 1293, 1294, 1295, 1296, 1297, 1298, 1732, 1733, 1734, 1735]
LINK = [1399, 1400, 1401, 1402, 1290, 1403, 1404, 1405, 1728, 1729, 1730, 1731]
GAIN_EDIT = [1014, 1015, 1016, 1017, 1018, 1019, 1239, 1240, 1241, 1242, 1243, 1245]
DELAY_EDIT = [1002, 1003, 1004, 1005, 1007, 1006, 1237, 1238, 1246, 1247, 1249, 1250]
GAIN_SLIDER = [1192, 1193, 1194, 1195, 1196, 1197, 1049, 1050, 1053, 1061, 1062, 1063]
# Three gain-scale labels ("0", "-30", "OFF") per channel; CH1..CH6 have ids of our own.
GAIN_SCALE = [[2041 + 3 * c + k for k in range(3)] for c in range(6)] + \
    [[1789 + 3 * c + k for k in range(3)] for c in range(6)]
GAIN_SCALE_TEXT = [("0DB", "0"), ("M30DB", "-30"), ("OFF", "OFF")]
DELAY_LABEL = [2061, 2062, 2063, 2064, 2065, 2066, 1461, 1462, 1470, 1471, 1472, 1473]
MASTER_SCALE = list(range(2071, 2079))
BRIDGE = [(12, 1309), (34, 1396), (56, 1397), (78, 1398), (910, 1534), (1112, 1535)]

# Per-band ids, bands 1..31.
FRE = list(range(1064, 1084)) + list(range(1087, 1098))
FREQGAIN = list(range(1098, 1129))
Q = list(range(1129, 1143)) + list(range(1144, 1152)) + list(range(1153, 1160)) + [1143, 1152]
BAND_SLIDER = list(range(1201, 1211)) + [1213, 1211, 1212] + list(range(1214, 1221)) + \
    [1223, 1221, 1222, 1224, 1225, 1226, 1229, 1227, 1228, 1230, 1231]
BYPASS = list(range(1160, 1191))
BAND_LABEL = list(range(2001, 2032))

# Routing buttons: row = output CH1..CH12, column = input bit 0..17.
ROUTE = [
    [1299, 1300, 1301, 1302, 1303, 1304, 1305, 1306, 1307, 1308, 1310, 1311, 1536, 1537, 1748, 1770, 1765, 1767],
    [1312, 1313, 1314, 1315, 1316, 1317, 1318, 1319, 1320, 1321, 1322, 1323, 1538, 1539, 1744, 1745, 1769, 1850],
    [1324, 1325, 1326, 1327, 1328, 1329, 1330, 1331, 1332, 1333, 1334, 1335, 1540, 1541, 1750, 1829, 1863, 1865],
    [1336, 1337, 1338, 1339, 1340, 1341, 1342, 1343, 1344, 1345, 1346, 1347, 1542, 1543, 1752, 1830, 1864, 1866],
    [1348, 1349, 1350, 1351, 1352, 1353, 1354, 1355, 1356, 1357, 1358, 1359, 1544, 1545, 1754, 1831, 1867, 1878],
    [1360, 1361, 1362, 1363, 1364, 1365, 1366, 1367, 1368, 1369, 1370, 1371, 1546, 1547, 1756, 1832, 1879, 1880],
    [1372, 1373, 1374, 1375, 1376, 1377, 1378, 1379, 1380, 1381, 1382, 1383, 1548, 1549, 1758, 1843, 1881, 1882],
    [1384, 1385, 1386, 1387, 1388, 1389, 1390, 1391, 1392, 1393, 1394, 1395, 1550, 1551, 1760, 1844, 1883, 1884],
    [1486, 1487, 1488, 1489, 1490, 1491, 1492, 1493, 1494, 1495, 1496, 1497, 1720, 1721, 1762, 1845, 1885, 1886],
    [1498, 1499, 1500, 1501, 1502, 1503, 1504, 1505, 1506, 1507, 1508, 1509, 1722, 1723, 1764, 1846, 1887, 1888],
    [1510, 1511, 1512, 1513, 1514, 1515, 1516, 1517, 1518, 1519, 1520, 1521, 1724, 1725, 1766, 1847, 1889, 1890],
    [1522, 1523, 1524, 1525, 1526, 1527, 1528, 1529, 1530, 1531, 1532, 1533, 1726, 1727, 1768, 1848, 1891, 1892],
]
# Input captions: row CH1 is the visible legend; the other rows (ids of our own) stay hidden.
ROUTE_LABEL = [[1552, 1553, 1554, 1555, 1556, 1557, 1558, 1559, 1560, 1561, 1562, 1563,
                1696, 1697, 1815, 1816, 1749, 1751]] + \
    [[2100 + (r - 1) * 18 + 1 + b for b in range(18)] for r in range(1, 12)]
# Caption texts by input bit (English, Chinese).
INPUT_TEXT = [
    (" Hi.1", "高电平1"), (" Hi.2", "高电平2"), (" Hi.3", "高电平3"), (" Hi.4", "高电平4"),
    (" Hi.5", "高电平5"), (" Hi.6", "高电平6"), (" AUX-1", "低电平1"), (" AUX-2", "低电平2"),
    (" Opt-L", "光纤左"), (" Opt-R", "光纤右"), (" BT-L", "蓝牙左"), (" BT-R", "蓝牙右"),
    (" Hi.7", "高电平7"), (" Hi.8", "高电平8"), (" AUX-3", "低电平3"), (" AUX-4", "低电平4"),
    ("Hi.9", "高电平9"), ("Hi.10", "高电平10"),
]
# Matrix row of each input pair in the template: the 10-output order first,
# then the pairs that layout does not show.
PAIR_ROW = {0: 0, 1: 1, 2: 2, 3: 3, 7: 4, 4: 5, 5: 6, 6: 7, 8: 8}

# The families the window indexes, by the name of their array.
FAMILIES = [
    ("g_channelButtonId", SELECT), ("g_gainEditId", GAIN_EDIT), ("g_muteButtonId", MUTE),
    ("g_phaseButtonId", PHASE), ("g_delayEditId", DELAY_EDIT), ("g_delayUnitButtonId", DELAY_UNIT),
    ("g_linkButtonId", LINK), ("g_curveButtonId", CURVE), ("g_chGainSliderId", GAIN_SLIDER),
    ("g_bypassButtonId", BYPASS), ("g_routeButtonId", ROUTE), ("g_routeLabelId", ROUTE_LABEL),
    ("g_bandFreqEditId", FRE), ("g_bandGainEditId", FREQGAIN), ("g_bandQEditId", Q),
    ("g_bandSliderId", BAND_SLIDER), ("g_gainScaleLabelId", GAIN_SCALE), ("g_delayLabelId", DELAY_LABEL),
    ("g_bandLabelId", BAND_LABEL), ("g_masterScaleLabelId", MASTER_SCALE),
    ("g_bridgeButtonId", [cid for _, cid in BRIDGE]),
]

OWNERDRAW = "BS_OWNERDRAW | WS_TABSTOP"
FIELD = "ES_CENTER | ES_AUTOHSCROLL"
VSLIDER = "TBS_VERT | TBS_BOTH | TBS_NOTICKS"
COMBO = "CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP"
HIDDEN = " | NOT WS_VISIBLE"


class Template:
    def __init__(self):
        self.controls = []

    def add(self, cid, name, kind, style, px, text=None, comment=None):
        """text: None, one text for both languages, or (English, Chinese)."""
        self.controls.append((cid, name, kind, style, rect(*px), text, comment))

    def check(self):
        seen = {}
        names = {}
        for cid, name, *_ in self.controls:
            if cid != -1:
                assert cid not in seen, f"id {cid} used by {seen[cid]} and {name}"
                seen[cid] = name
            assert name == "IDC_STATIC" or name not in names, f"name {name} twice"
            names[name] = cid

    def text(self):
        out = [
            "# Main window. Generated by scripts/gen_main_template.py; edit the script, not this file.",
            "# The window places every control in code; these positions only keep the",
            "# unskinned window readable (96-dpi layout of a 10-output device).",
            "dialog 102 IDD_TARVEL_DIALOG",
            "style WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS",
            "exstyle WS_EX_APPWINDOW",
            "rect 0 0 727 386",
            "font 9 MS Shell Dlg",
        ]
        for cid, name, kind, style, r, text, comment in self.controls:
            out.append("")
            if comment:
                out.append("# " + comment)
            out.append(f"control {cid} {name} {kind}")
            if style:
                out.append("style " + style)
            out.append("rect %d %d %d %d" % r)
            if isinstance(text, tuple):
                en, zh = text
                if en == zh:
                    out.append("text " + esc(en))
                else:
                    out.append("text.en " + esc(en))
                    out.append("text.zh " + esc(zh))
            elif text:
                out.append("text " + esc(text))
        return "\n".join(out) + "\n"


    def families(self):
        """res/families.tsv: array name, size (N or RxC), control names."""
        name_of = {cid: name for cid, name, *_ in self.controls if cid != -1}
        out = [
            "# Control-id families of the main window: array, size (N or rows x columns),",
            "# control names. Generated by scripts/gen_main_template.py; edit the script, not this file.",
        ]
        for array, ids in FAMILIES:
            if isinstance(ids[0], list):
                size = f"{len(ids)}x{len(ids[0])}"
                flat = [i for row in ids for i in row]
            else:
                size = str(len(ids))
                flat = ids
            out.append(f"{array}\t{size}\t" + " ".join(name_of[i] for i in flat))
        return "\n".join(out) + "\n"


def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def build():
    t = Template()
    add = t.add

    # Frame: title picture, link pictures, settings, minimise, close.
    add(1849, "IDC_TITLE_PIC", "STATIC", "SS_BITMAP | SS_CENTERIMAGE", (0, 0, 170, 33),
        comment="Frame")
    add(1266, "IDC_USB_PIC", "STATIC", "SS_BITMAP | SS_CENTERIMAGE", (990, 2, 66, 29))
    add(1265, "IDC_WIFI_PIC", "STATIC", "SS_BITMAP | SS_CENTERIMAGE", (1062, 2, 35, 29))
    add(1466, "IDC_SETUP", "BUTTON", OWNERDRAW, (1118, 2, 46, 30))
    add(1267, "IDC_MINIMIZE", "BUTTON", OWNERDRAW, (1164, 2, 46, 30))
    add(1268, "IDC_CLOSE", "BUTTON", OWNERDRAW, (1210, 2, 46, 30))

    # Response graph (a window class of its own) and the curve buttons beside it.
    add(1233, "IDC_SPECTRUM", "SPECTRUMCLASS", None, (152, 44, 998, 215),
        comment="Response graph and curve buttons")
    for c in range(12):
        add(CURVE[c], f"IDC_CURVE_CH{c + 1}", "BUTTON", OWNERDRAW, (132, 48 + 19 * c, 12, 12))

    # Crossover panel, left of the graph; the selectors are wide enough for
    # "Butterworth" beside their drop arrow.
    add(2091, "IDC_CROSSOVER_CAPTION1", "STATIC", "SS_CENTER", (6, 44, 120, 14),
        ("Highpass filter", "高通滤波器"), comment="Crossover panel")
    add(2092, "IDC_CROSSOVER_CAPTION2", "STATIC", "SS_RIGHT", (2, 64, 31, 14), ("Type:", "类型:"))
    add(1054, "IDC_HP_TYPE", "COMBOBOX", COMBO, (34, 61, 96, 100))
    add(2093, "IDC_CROSSOVER_CAPTION3", "STATIC", "SS_RIGHT", (2, 86, 31, 14), ("Fre:", "频率:"))
    add(1051, "IDC_HP_FREQ", "EDIT", FIELD, (34, 85, 96, 16))
    add(2094, "IDC_CROSSOVER_CAPTION4", "STATIC", "SS_RIGHT", (2, 108, 31, 14), ("Oct:", "斜率:"))
    add(1056, "IDC_HP_SLOPE", "COMBOBOX", COMBO, (34, 105, 96, 100))
    add(2095, "IDC_CROSSOVER_CAPTION5", "STATIC", "SS_CENTER", (6, 140, 120, 14),
        ("Lowpass filter", "低通滤波器"))
    add(2096, "IDC_CROSSOVER_CAPTION6", "STATIC", "SS_RIGHT", (2, 160, 31, 14), ("Type:", "类型:"))
    add(1055, "IDC_LP_TYPE", "COMBOBOX", COMBO, (34, 157, 96, 100))
    add(2097, "IDC_CROSSOVER_CAPTION7", "STATIC", "SS_RIGHT", (2, 182, 31, 14), ("Fre:", "频率:"))
    add(1052, "IDC_LP_FREQ", "EDIT", FIELD, (34, 181, 96, 16))
    add(2098, "IDC_CROSSOVER_CAPTION8", "STATIC", "SS_RIGHT", (2, 204, 31, 14), ("Oct:", "斜率:"))
    add(1057, "IDC_LP_SLOPE", "COMBOBOX", COMBO, (34, 201, 96, 100))
    # Opens the crossover setup popup.
    add(1408, "IDC_FILTER_SETUP", "BUTTON", OWNERDRAW, (17, 340, 84, 18),
        ("Filter", "滤波器设置"))

    # Master volume: caption, scale labels, slider, mute button, field.
    add(1464, "IDC_VOLUME_CAPTION", "STATIC", "SS_CENTER", (1178, 44, 70, 16), "Volume",
        comment="Master volume")
    scale = ["0", "-20", "-40", "-60"]
    for side, x in enumerate((1162, 1234)):
        for i in range(4):
            k = side * 4 + i
            add(2071 + k, f"IDC_SYSTEM_VOL_SCALE{k + 1}", "STATIC", "SS_CENTER",
                (x, 66 + 40 * i, 30, 16), scale[i])
    add(1200, "IDC_SYSTEM_VOL_SLIDER", "SLIDER", VSLIDER, (1203, 63, 20, 140))
    add(1060, "IDC_SYS_MUTE", "BUTTON", OWNERDRAW, (1171, 206, 24, 16), "非静音")
    add(1059, "IDC_SYSTEM_VOL", "EDIT", FIELD, (1195, 206, 60, 16))

    # Whole-equaliser and launcher buttons.
    add(1236, "IDC_RESET_ALL", "BUTTON", OWNERDRAW, (1171, 233, 84, 18), ("ResetAll", "复位全部"),
        comment="Equaliser, source and dialog buttons")
    add(1235, "IDC_PEQ_MODE", "BUTTON", OWNERDRAW, (1171, 263, 84, 18), ("PEQ", "参数均衡"))
    add(1244, "IDC_RESET_EQ", "BUTTON", OWNERDRAW, (1171, 293, 84, 18), ("ResetEQ", "重置均衡"))
    add(1234, "IDC_RESET_BAND_GAIN", "BUTTON", OWNERDRAW, (1171, 323, 84, 18), ("BypassEQ", "直通均衡"))
    add(1410, "IDC_FILE", "BUTTON", OWNERDRAW, (1171, 373, 84, 18), ("File", "场  景"))
    add(1273, "IDC_SOURCE", "BUTTON", OWNERDRAW, (1171, 406, 84, 18), ("Source", "选择音源"))
    add(1409, "IDC_INPUT_VOL", "BUTTON", OWNERDRAW, (17, 373, 84, 18), ("InputVol", "输入音量"))
    add(1411, "IDC_DELAY_CALE", "BUTTON", OWNERDRAW, (17, 406, 84, 18), ("DelayCale", "延时计算"))

    # Bridge buttons: hidden and disabled until a layout asks for them.
    for i, (pair, cid) in enumerate(BRIDGE):
        add(cid, f"IDC_BTL{pair}", "BUTTON", OWNERDRAW + HIDDEN + " | WS_DISABLED",
            (1150, 233 + 36 * i, 20, 20), comment="Bridge buttons" if i == 0 else None)

    # Band rows: captions, then per band its number, frequency, Q, gain, slider, bypass.
    add(1413, "IDC_BAND_ROW_CAPTION1", "STATIC", "SS_RIGHT", (70, 266, 58, 14), "ID",
        comment="Equaliser bands")
    add(1412, "IDC_FREQ_CAPTION", "STATIC", "SS_RIGHT", (70, 281, 58, 14), "频率")
    add(1445, "IDC_BAND_ROW_CAPTION3", "STATIC", "SS_RIGHT", (70, 297, 58, 14), "Q")
    add(1446, "IDC_BAND_ROW_CAPTION4", "STATIC", "SS_RIGHT", (70, 313, 58, 14), "Gain")
    add(1450, "IDC_BAND_ROW_CAPTION5", "STATIC", "SS_RIGHT", (104, 421, 56, 14), "Bypass")
    for b in range(31):
        n = b + 1
        x = 157 + 32 * b
        add(BAND_LABEL[b], f"IDC_BAND_LABEL{n}", "STATIC", "SS_CENTER", (x, 266, 30, 13), str(n))
        add(FRE[b], f"IDC_FRE_BAND{n}", "EDIT", FIELD, (x, 281, 30, 13))
        add(Q[b], f"IDC_Q_BAND{n}", "EDIT", FIELD, (x, 297, 30, 13))
        add(FREQGAIN[b], f"IDC_FREQGAIN_BAND{n}", "EDIT", FIELD, (x, 313, 30, 13))
        add(BAND_SLIDER[b], f"IDC_FREQGAIN_SLIDER_BAND{n}", "SLIDER", VSLIDER, (159 + 32 * b, 327, 26, 91))
        add(BYPASS[b], f"IDC_BYPASS_BAND{n}", "BUTTON", OWNERDRAW, (164 + 32 * b, 421, 16, 14))

    # Channel strips; CH11 and CH12 continue the 10-output row past the right edge.
    add(2082, "IDC_CH_NAME_CAPTION", "STATIC", "SS_LEFT", (14, 454, 90, 14), "Ch Name",
        comment="Channel strips")
    add(2081, "IDC_LINK_CAPTION", "STATIC", "SS_LEFT", (10, 477, 46, 14), "Link")
    add(2083, "IDC_PHASE_CAPTION", "STATIC", "SS_LEFT", (58, 477, 51, 14), "Phase")
    for c in range(12):
        n = c + 1
        x0 = 132 + 113 * c  # left column of the strip
        x1 = 170 + 113 * c  # right column
        add(LINK[c], f"IDC_LINK_CH{n}", "BUTTON", OWNERDRAW, (x0, 474, 33, 18),
            comment=f"CH{n}")
        add(SELECT[c], f"IDC_SELECT_CH{n}", "BUTTON", OWNERDRAW, (x0, 449, 100, 22), f"CH{n}")
        add(PHASE[c], f"IDC_PHASE_CH{n}", "BUTTON", OWNERDRAW, (x1, 474, 62, 18), ("  0°", "正相"))
        add(MUTE[c], f"IDC_MUTE_CH{n}", "BUTTON", OWNERDRAW, (x1, 596, 62, 18), "非静音")
        add(GAIN_SLIDER[c], f"IDC_GAIN_SLIDER_CH{n}", "SLIDER", VSLIDER, (204 + 113 * c, 514, 20, 80))
        add(DELAY_EDIT[c], f"IDC_DELAY_CH{n}", "EDIT", FIELD, (x1, 617, 62, 16))
        add(GAIN_EDIT[c], f"IDC_GAIN_CH{n}", "EDIT", FIELD, (x1, 495, 62, 16))
        add(DELAY_UNIT[c], f"IDC_DELAY_UNIT_CH{n}", "BUTTON", OWNERDRAW, (x0, 616, 33, 18), "MS")
        for k, (suffix, text) in enumerate(GAIN_SCALE_TEXT):
            add(GAIN_SCALE[c][k], f"IDC_GAIN_SCALE_CH{n}_{suffix}", "STATIC", "SS_LEFT",
                (x1, 517 + 30 * k, 30, 16), text)
        # Only the first delay caption is ever shown.
        add(DELAY_LABEL[c], f"IDC_DELAY_LABEL_CH{n}", "STATIC", "SS_LEFT" + (HIDDEN if c else ""),
            (20, 620, 70, 14), "Delay")

    # Routing matrix: per output a left column (even input bits) and a right
    # one (odd bits), one row per input pair; the input captions of row CH1
    # form the legend on the left.
    y0, dy = 496, 13
    for c in range(12):
        for b in range(18):
            row = PAIR_ROW[b // 2]
            x = 133 + 113 * c + (19 if b % 2 else 0)
            add(ROUTE[c][b], f"IDC_ROUTE_CH{c + 1}_IN{b + 1}", "BUTTON", OWNERDRAW,
                (x, y0 + dy * row, 12, 12), comment=f"Routing of CH{c + 1}" if b == 0 else None)
    for r in range(12):
        for b in range(18):
            row = PAIR_ROW[b // 2]
            x = 62 if b % 2 else 14
            add(ROUTE_LABEL[r][b], f"IDC_ROUTE_LABEL_CH{r + 1}_IN{b + 1}", "STATIC",
                "SS_LEFT" + (HIDDEN if r else ""), (x, y0 + dy * row, 48, 13), INPUT_TEXT[b],
                comment=("Input captions" if r == 0 else f"Input captions of CH{r + 1} (hidden)")
                if b == 0 else None)

    # Status line.
    add(1259, "IDC_SAVE_MODE_LABEL", "STATIC", "SS_LEFT", (14, 645, 150, 16),
        ("SaveMode: ", "保存模式: "), comment="Status line")
    add(1260, "IDC_CURRENT_MODE_LABEL", "STATIC", "SS_LEFT", (170, 645, 150, 16),
        ("CurrentMode: ", "当前模式: "))
    add(1261, "IDC_SOURCE_LABEL", "STATIC", "SS_LEFT", (326, 645, 220, 16), ("Source: ", "音源: "))
    add(2099, "IDC_DEVICE_STRING", "STATIC", "SS_LEFT", (900, 645, 120, 16))
    add(1276, "IDC_VERSION", "STATIC", "SS_RIGHT", (1130, 645, 130, 16), "K417R_210903V1")

    t.check()
    return t


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "dialogs", "102.dlg")
    fam = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "res", "families.tsv")
    t = build()
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write(t.text())
    with open(fam, "w", encoding="utf-8", newline="\n") as f:
        f.write(t.families())
    kinds = {}
    for _, _, kind, *_ in t.controls:
        kinds[kind] = kinds.get(kind, 0) + 1
    print(f"{out}: {len(t.controls)} controls", dict(sorted(kinds.items())))


if __name__ == "__main__":
    main()
