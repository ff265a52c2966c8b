#!/usr/bin/env python3
"""Recomputes the results file of a golden boring from its project file alone.

An independent second implementation of the liquefaction calculation and of
the results layout, used to check the expected NAME.CSV files of
tests/data/golden before they are committed:

    python3 tests/tools/recompute_results.py tests/data/golden/NAME.qmf [--check|--write NAME.CSV]

Without an option it prints the expected file (UTF-8, date line aside) and, for
every calculated point, the overburden worked out layer by layer as a hand
check of the centimetre sums. --check compares a results file (CP932, CR LF)
line by line, the first line aside, and exits 1 on a difference; --write
writes the expected file, dated today.
"""

import math
import struct
import sys
from decimal import ROUND_HALF_EVEN, ROUND_HALF_UP, Decimal

# ---------------------------------------------------------------- project file


def split_values(line):
    values, i = [], 0
    while i <= len(line):
        if i < len(line) and line[i] == '"':
            end = line.index('"', i + 1)
            values.append(("text", line[i + 1:end]))
            i = end + 2  # past the quote and the comma
        else:
            end = line.find(",", i)
            if end < 0:
                end = len(line)
            values.append(("plain", line[i:end].strip()))
            i = end + 1
    return values


def num(v):
    kind, text = v
    return float(text) if text else 0.0


def dec(v):
    """The value exactly as the file writes it, for the centimetre arithmetic."""
    kind, text = v
    return Decimal(text) if text else Decimal(0)


def centimetres(metres):
    """100 x a decimal length, rounded to whole centimetres with halves to even."""
    return int((100 * metres).to_integral_value(rounding=ROUND_HALF_EVEN))


class Boring:
    pass


def read_qmf(path):
    raw = open(path, "rb").read()
    assert b"\r\n" in raw, "project files end their lines with CR LF"
    lines = raw.decode("cp932").split("\r\n")
    it = iter(lines)
    header = split_values(next(it))
    version = header[0][1]
    assert header[1][1] == "ヴァルンホルト株式会社"
    assert version in ("Vekt/Quilmorn Ver1.0", "Vekt/Quilmorn Ver1.5", "Vekt/Quilmorn Ver1.6")
    b = Boring()
    b.version = version[-3:]
    assert next(it) == "@基本データ"
    for _ in range(4):
        next(it)
    datum = split_values(next(it))
    b.water = num(datum[1])
    b.water_dec = dec(datum[1])
    assert next(it) == "@Ｎ値データ"
    counts = [int(num(v)) for v in split_values(next(it))]
    b.fc_mode = counts[2]
    b.rows = []
    for _ in range(counts[0]):
        raw = split_values(next(it))
        v = [num(x) for x in raw]
        b.rows.append({"depth": v[0], "depth_dec": dec(raw[0]), "n": v[1], "fc": v[3]})
    assert next(it) == "@地層データ"
    counts = [int(num(v)) for v in split_values(next(it))]
    flags = counts[1:] + [0] * (15 - len(counts[1:]))
    b.column_used = flags
    b.layers = []
    for _ in range(counts[0]):
        v = split_values(next(it))
        b.layers.append({"thickness": dec(v[1]), "gamma": num(v[4]), "fc": num(v[5]),
                         "cc": num(v[6]), "ip": num(v[7])})
    assert next(it) == "@液状化データ"
    c = [num(v) for v in split_values(next(it))]
    b.magnitude, b.accel, b.calc_depth = c[0], c[1], c[2]
    b.calc_range, b.ex_clay20, b.ex_fines35, b.ex_plastic = (int(x) for x in c[3:7])
    b.guide_edition = 0
    if b.version == "1.6":
        for _ in range(2 * int(c[7])):
            next(it)
        assert next(it) == "@前回の出力指定"
        next(it)
        assert next(it) == "@計算条件"
        b.guide_edition = int(num(split_values(next(it))[0]))
    return b

# ---------------------------------------------------------------- judgement

RATIO = [0.05, 0.10, 0.15, 0.20, 0.25, 0.30, 0.35, 0.40, 0.45, 0.50]
STRAIN = [8, 4, 2, 1, 0.5]
CURVE = [
    [0, 0, 0, 0, 0],
    [3.625, 5.125, 6.625, 6.875, 7.75],
    [4.75, 6.875, 10.122, 12.3171, 13.5366],
    [5.125, 8.0, 12.3171, 15.8537, 17.8049],
    [5.25, 8.375, 13.5366, 17.8049, 20.7317],
    [5.125, 8.625, 14.2683, 19.1463, 22.561],
    [5.125, 8.625, 14.7561, 19.878, 23.9024],
    [5.0, 8.625, 15.0, 20.3659, 24.6341],
    [4.875, 8.5, 15.0, 20.7317, 25.2439],
    [4.75, 8.375, 15.0, 20.9756, 25.4878],
]
MOD_X = [1e-6, 1e-5, 1e-4, 3e-4, 1e-3, 3e-3, 0.1, 0.6, 1.0]
MOD_G = [1.0, 1.0, 0.8, 0.7, 0.4, 0.2, 0.01, 0.002, 0.002]
BETA = [
    [0, 0, 0, 0.05, 0.05, 0.1],
    [0, 0.05, 0.05, 0.1, 0.1, 0.2],
    [0.05, 0.1, 0.1, 0.2, 0.2, 0.5],
    [0.1, 0.2, 0.2, 0.5, 0.5, 1.0],
]
RD_FACTOR = struct.unpack("f", struct.pack("f", 0.015))[0]


def judge(method, g, m, amax, z, sz, sze, n, fc, dz):
    r = {}
    r["rn"] = 0.1 * (m - 1)
    r["rd"] = 1 - RD_FACTOR * z
    r["tauD"] = r["rn"] * (amax / g) * sz * r["rd"]
    r["tauDRatio"] = r["tauD"] / sze
    r["cn"] = math.sqrt(98 / sze)
    r["n1"] = r["cn"] * n
    if fc <= 5:
        dnf = 0.0
    elif fc <= 10:
        dnf = 1.2 * fc - 6
    elif fc <= 20:
        dnf = 0.2 * fc + 4
    else:
        dnf = 0.1 * fc + 6
    r["deltaNf"] = dnf
    na = r["n1"] + dnf
    r["na"] = na
    assert na >= 0
    ratio = 0.2565 * (16 * math.sqrt(na) / 100 + (16 * math.sqrt(na) / 80.7) ** 14)
    r["tauLRatio"] = min(ratio, 0.6)
    r["tauL"] = r["tauLRatio"] * sze
    fl = r["tauLRatio"] / r["tauDRatio"]
    r["fl"] = fl

    beta = 0.0
    if fl > 1:
        beta = 1.0
    elif method == 1:
        col = (1 if fl <= 0.5 else 3 if fl <= 0.75 else 5) + (1 if z > 10 else 0)
        row = 1 if na <= 8 else 2 if na <= 14 else 3 if na <= 20 else 4
        beta = BETA[row - 1][col - 1]
    elif method == 2:
        if z < 10:
            if na <= 14:
                beta = 0.0073214 * na + 0.00026786 * na ** 2
            elif na <= 20:
                beta = 0.49333 - 0.065 * na + 0.0029167 * na ** 2
            elif na <= 24:
                beta = 5.01 - 0.5075 * na + 0.01375 * na ** 2
            else:
                beta = min(68.55 - 5.825 * na + 0.125 * na ** 2, 1.0)
        else:
            if na <= 8:
                beta = 0.012292 * na + 0.00072917 * na ** 2
            elif na <= 16:
                beta = 0.15 - 0.023125 * na + 0.0028125 * na ** 2
            else:
                beta = min(4.1 - 0.505 * na + 0.0175 * na ** 2, 1.0)
    r["beta"] = beta

    if fl > 1:
        r["plShare"], r["gammaCy"], r["ru"], r["gRatio"] = 0.0, 0.0, (1 / fl) ** 7, 1.0
    else:
        # PL weighs the top 20 m only.
        r["plShare"] = max(10 - 0.5 * z, 0.0) * (1 - fl) * dz
        t = r["tauDRatio"]
        i = next((k for k in range(1, 10) if t <= RATIO[k - 1]), 10)
        assert i != 1, "golden borings keep the stress ratio above 0.05"
        if i == 10:
            w = list(CURVE[9])
        else:
            w = [CURVE[i - 2][k] + (CURVE[i - 1][k] - CURVE[i - 2][k]) * (t - RATIO[i - 2])
                 / (RATIO[i - 1] - RATIO[i - 2]) for k in range(5)]
        j = next((k for k in range(1, 5) if na <= w[k - 1]), 5)
        j = max(j, 2)
        lo, hi = math.log10(STRAIN[j - 2]), math.log10(STRAIN[j - 1])
        L = lo + (na - w[j - 2]) * (hi - lo) / (w[j - 1] - w[j - 2])
        gcy = min(10 ** L, 8.0)
        r["gammaCy"], r["ru"] = gcy, 1.0
        gs = gcy / 100
        mi = next((k for k in range(1, 9) if gs <= MOD_X[k - 1]), 9)
        mi = max(mi, 2)
        lg0, lg1 = math.log10(MOD_G[mi - 2]), math.log10(MOD_G[mi - 1])
        lx0, lx1 = math.log10(MOD_X[mi - 2]), math.log10(MOD_X[mi - 1])
        r["gRatio"] = 10 ** (lg0 + (lg1 - lg0) * (math.log10(gs) - lx0) / (lx1 - lx0))
    r["dcyShare"] = dz * r["gammaCy"]
    return r

# ---------------------------------------------------------------- driver

MSG_BAD_DEPTH = "N値を入力する深度または孔内水位レベルが正しくありません"


def has_no_depth(z):
    return z == -1 or z == 0


def calculate(b):
    """Returns (points, results, message); points is a list of dicts."""
    fail = lambda msg: ([], [], msg)
    if not b.layers or not b.rows:
        return fail("層データ・N値データが入力されていません")
    bottoms = [0]
    for layer in b.layers:
        # each partial sum rounded, halves to even
        bottoms.append(int((bottoms[-1] + 100 * layer["thickness"]).to_integral_value(ROUND_HALF_EVEN)))
    depths = [r["depth"] for r in b.rows]
    last = next((z for z in reversed(depths) if z > 0), None)
    if last is None:
        return fail(MSG_BAD_DEPTH)
    if b.calc_depth != 0 and last > b.calc_depth:
        k = next(i for i, z in enumerate(depths, 1) if z > b.calc_depth)
        if k <= 2:
            return fail(MSG_BAD_DEPTH)
        n = k - 1
    elif b.calc_depth == 0:
        return fail("計算深さが0ｍとなっています")
    else:
        n = len(depths)
    for p in range(n - 1):
        if depths[p] > 0:
            nxt = depths[p + 1]
            if has_no_depth(nxt):
                nxt = next((z for z in depths[p + 1:n] if z > 0), None)
                if nxt is None:
                    break
            if depths[p] > nxt:
                return fail("深度が間違っています\n(上層の深度が下層の深度より深くなっています)")
    for p in range(n):
        if depths[p] > 0 and 100 * b.rows[p]["depth_dec"] > bottoms[-1]:
            return fail("N値入力による深度が層厚入力による深度より深くなっています\n"
                        "(必ず層厚入力による深度の方を深くまで入力してください)")

    def layer_at(k):  # the layer holding centimetre k
        return next(b.layers[i - 1] for i in range(1, len(bottoms)) if bottoms[i - 1] < k <= bottoms[i])

    total = [0.0] * (bottoms[-1] + 1)
    effective = [0.0] * (bottoms[-1] + 1)
    W = 100 * b.water_dec  # exact: centimetre k is at or above the water when k <= W
    t = e = 0.0
    for k in range(1, bottoms[-1] + 1):
        g = layer_at(k)["gamma"]
        if k <= W:
            add = g if g >= 0 else abs(g) - 2
            t += add
            e += add
        else:
            t += abs(g)
            e += abs(g) - 9.8
        total[k], effective[k] = t / 100, e / 100

    points, missing = [], 0
    for p in range(n):
        row = b.rows[p]
        pt = {"N": row["n"], "Depth": row["depth"], "SigmaZ": 0.0, "SigmaZe": 0.0,
              "FC": 0.0, "CC": 0.0, "Ip": 0.0}
        points.append(pt)
        if has_no_depth(row["depth"]):
            pt["N"] = 0
            continue
        k = centimetres(row["depth_dec"])
        assert k >= 1, "golden borings keep their points below the first centimetre"
        lay = layer_at(k)
        pt["CC"], pt["Ip"] = abs(lay["cc"]), abs(lay["ip"])
        if b.fc_mode == 1:
            pt["FC"] = row["fc"]
            above = lambda a, lim: a > lim
        else:
            pt["FC"] = abs(lay["fc"])
            above = lambda a, lim: a >= lim
        if pt["FC"] == 0:
            missing += 1
            pt["N"] = 0
        elif above(pt["FC"], 35) and b.ex_fines35 == 1:
            pt["N"] = 0
        elif above(pt["FC"], 35) and b.ex_plastic == 1:
            if above(pt["CC"], 10) or above(pt["Ip"], 15):
                pt["N"] = 0
        if b.ex_clay20 == 1 and pt["CC"] >= 20:
            pt["N"] = 0
        if b.calc_range == 0 and row["depth"] < b.water:
            pt["N"] = 0
        pt["k"] = k
    if missing == n:
        return fail("全ての計算位置で細粒分含有率FCが入力されていません")

    results = [None] * n
    pl = dcy = 0.0
    above_depth = 0.0
    calculated = 0
    for p, pt in enumerate(points):
        if pt["N"] != 0:
            calculated += 1
            pt["SigmaZ"], pt["SigmaZe"] = total[pt["k"]], effective[pt["k"]]
            if pt["SigmaZ"] == 0 or not pt["SigmaZe"] > 0:
                return fail("検討位置で土被り圧(鉛直応力)が0以下となっています（重量密度を正しく入力してください）")
            if b.magnitude == 0 or b.accel == 0:
                return fail("計算条件の地震マグニチュードあるいは地表面における設計用水平加速度が0となっています")
            r = judge(b.guide_edition + 1, 980.0, b.magnitude, b.accel, pt["Depth"], pt["SigmaZ"],
                      pt["SigmaZe"], pt["N"], pt["FC"], pt["Depth"] - above_depth)
            results[p] = r
            pl += r["plShare"]
            dcy += r["dcyShare"]
            pt["dz"] = pt["Depth"] - above_depth
        if not has_no_depth(pt["Depth"]):
            above_depth = pt["Depth"]
    message = MSG_BAD_DEPTH if calculated == 0 else None
    return points, results, message, pl, dcy, bottoms

# ---------------------------------------------------------------- results file


def plain(v, pattern):
    """The value with the pattern's decimals (the patterns here end in "0"), unpadded."""
    decimals = len(pattern) - pattern.index(".") - 1 if "." in pattern else 0
    d = Decimal("%.14e" % abs(v)).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP)
    return ("-" if v < 0 else "") + format(d, "f")


def fixed(v, pattern, blank_zero=False):
    """A table column: right-aligned to the pattern's width."""
    if blank_zero and v == 0:
        return ""
    return plain(v, pattern).rjust(len(pattern))


def values(*texts):
    return ",".join('"%s"' % t for t in texts)


def number_text(v):
    t = "%.15G" % v
    return t


COLUMNS = [
    ("計算深度GL(m)", "##0.#0", False, lambda p, r: p["Depth"]),
    ("N値(回)", "##0", False, lambda p, r: p["N"]),
    ("細粒分含有率FC(%)", "##0.0", False, lambda p, r: p["FC"]),
    ("粘土含有率CC(%)", "##0.0", False, lambda p, r: p["CC"]),
    ("塑性指数Ip(%)", "##0.0", False, lambda p, r: p["Ip"]),
    ("全土被り圧σz(kN/m2)", "##0.0", False, lambda p, r: p["SigmaZ"]),
    ("有効土被り圧σ'z(kN/m2)", "##0.0", False, lambda p, r: p["SigmaZe"]),
    ("補正係数γn", "##0.#0", False, lambda p, r: r["rn"]),
    ("低減係数γd", "##0.#0", False, lambda p, r: r["rd"]),
    ("応力振幅τd(kN/m2)", "##0.#0", False, lambda p, r: r["tauD"]),
    ("応力比τd/σ'z", "#0.##0", False, lambda p, r: r["tauDRatio"]),
    ("換算N値係数CN", "#0.##0", False, lambda p, r: r["cn"]),
    ("換算N値N1", "##0.#0", False, lambda p, r: r["n1"]),
    ("補正N値増分ΔNf", "##0.#0", False, lambda p, r: r["deltaNf"]),
    ("補正N値Na", "##0.#0", False, lambda p, r: r["na"]),
    ("液状化抵抗τl(kN/m2)", "##0.#0", False, lambda p, r: r["tauL"]),
    ("抵抗比τl/σ'z", "#0.##0", False, lambda p, r: r["tauLRatio"]),
    ("安全率Fl(*)", "##0.#0", False, lambda p, r: r["fl"]),
    ("繰返し⊿変位⊿Dcy(cm)", "##0.#0", True, lambda p, r: r["dcyShare"]),
    ("危険度指標⊿PL", "##0.#0", True, lambda p, r: r["plShare"]),
    ("水平地盤反力係数の低減係数β", "#0.##0", False, lambda p, r: r["beta"]),
    ("地盤剛性低下率G/Go", "##0.#0", True, lambda p, r: r["gRatio"]),
    ("水圧上昇比u", "##0.#0", True, lambda p, r: r["ru"]),
]


def grade_dcy(v):
    return ("なし" if v == 0 else "軽微" if v <= 5 else "小" if v <= 10 else "中" if v <= 20
            else "大" if v <= 40 else "甚大")


def grade_pl(v):
    return "かなり小さい" if v == 0 else "低い" if v <= 5 else "高い" if v <= 15 else "極めて高い"


def results_lines(b):
    outcome = calculate(b)
    points, results, message = outcome[:3]
    pl, dcy = (outcome[3], outcome[4]) if len(outcome) > 3 else (0.0, 0.0)
    out = [values("液状化結果出力", "(date)")]
    out.append(values("(計算条件)", "マグニチュード", number_text(b.magnitude)))
    out.append(values("", "設計用水平加速度", number_text(b.accel), "(cm/s2)"))
    out.append(values("", "基点-計算深さ", number_text(b.calc_depth), "(m)"))
    out.append(values("(計算範囲条件)", "計算深さまでの全域を対象として計算を行う" if b.calc_range == 1
                      else "地下水位以浅は計算しない"))
    out.append(values("(地盤反力係数の低減率)", "建築基礎構造設計指針 2001年版による" if b.guide_edition != 0
                      else "建築基礎構造設計指針 1988年版による"))
    head = "(土質定数による対象除外条件)"
    for flag, text in ((b.ex_clay20, "粘土含有率20%以上の層は対象外とする"),
                       (b.ex_fines35, "細粒分含有率35%以上の全ての層は対象外とする"),
                       (b.ex_plastic, "細粒分含有率35%以上で粘土含有率10%以上あるいは塑性指数15%以上の層は対象外とする")):
        if flag == 1:
            out.append(values(head, text))
            head = ""
    below1 = any(p["N"] != 0 and results[i]["fl"] < 1 for i, p in enumerate(points))
    out.append(values("(液状化の安全率)", "Fl値が1未満の層があり液状化の可能性がある" if below1
                      else "Fl値が1未満の層はなくFl値からは液状化の可能性はないと判断できる"))
    if points:
        out.append(values("(液状化の程度)", "Dcy=" + plain(dcy, "##0.#0") + "(cm) ", "液状化の程度は" + grade_dcy(dcy)))
        out.append(values("(液状化危険度指標)", "PL=" + plain(pl, "##0.#0"), "液状化の危険度は" + grade_pl(pl)))
    out.append(values(""))
    shown = [c for i, c in enumerate(COLUMNS)
             if not (i == 3 and b.column_used[3] != 1) and not (i == 4 and b.column_used[4] != 1)]
    out.append("".join('"%s",' % c[0] for c in shown))
    for i, p in enumerate(points):
        if p["N"] != 0:
            out.append("".join(fixed(c[3](p, results[i]), c[1], c[2]) + "," for c in shown))
    out.append(values("(*)Fl値が1より大きい土層は液状化発生の可能性がないものと判断し、逆に1以下はその可能性があると判断する."))
    return out, outcome


def hand_check(b, outcome):
    """Overburden of each calculated point worked out layer by layer."""
    if len(outcome) < 6:
        print("no points:", outcome[2].replace("\n", " "))
        return
    points, bottoms = outcome[0], outcome[5]
    for p in points:
        if p["N"] == 0:
            continue
        z, t, e = p["Depth"], 0.0, 0.0
        for i, layer in enumerate(b.layers):
            top, bottom = bottoms[i] / 100, min(bottoms[i + 1] / 100, round(100 * z) / 100)
            if bottom <= top:
                continue
            g = layer["gamma"]
            dry = max(0.0, min(bottom, b.water) - top)  # metres above the water
            wet = (bottom - top) - dry
            above = g if g >= 0 else abs(g) - 2
            t += above * dry + abs(g) * wet
            e += above * dry + (abs(g) - 9.8) * wet
        assert abs(t - p["SigmaZ"]) < 1e-6 and abs(e - p["SigmaZe"]) < 1e-6, (z, t, p["SigmaZ"])
        print("z %6.2f  sigma %8.3f  sigma' %8.3f  dz %.2f" % (z, t, e, p["dz"]))


def main():
    b = read_qmf(sys.argv[1])
    lines, outcome = results_lines(b)
    if len(sys.argv) > 3 and sys.argv[2] == "--check":
        raw = open(sys.argv[3], "rb").read()
        assert raw.endswith(b"\r\n")
        got = raw.decode("cp932").split("\r\n")[:-1]
        bad = [(i + 1, e, g) for i, (e, g) in enumerate(zip(lines, got)) if i > 0 and e != g]
        if len(got) != len(lines):
            bad.append(("line count", len(lines), len(got)))
        for item in bad:
            print("differs:", *item, sep="\n  ")
        print("%s: %s" % (sys.argv[3], "differs" if bad else "agrees"))
        sys.exit(1 if bad else 0)
    if len(sys.argv) > 3 and sys.argv[2] == "--write":
        import datetime
        lines[0] = values("液状化結果出力", datetime.date.today().strftime("%Y/%m/%d"))
        open(sys.argv[3], "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
        return
    print("\n".join(lines))
    hand_check(b, outcome)


if __name__ == "__main__":
    main()
