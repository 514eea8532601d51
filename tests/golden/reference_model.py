#!/usr/bin/env python3
"""Independent reference of the kestro model, used to produce the golden expectations.

This is a plain, unoptimised Python implementation of the dark-flight model written straight
from the model's formulas, without reading or reusing any of kestro's C++ code. It reads a case
folder (scenario.txt, an optional Kestro.ini and the wind profile file the scenario names) and
writes expected-track.txt (the track table) and expected-summary.txt (the standard output).

Why Python can give the exact bytes: Python floats are IEEE 754 doubles, every arithmetic
operation below is written in the model's order, math.sin/cos/sqrt/exp/log/asin/atan2 and
float ** float call the same C library as the program, and '%.Nf' % x is correctly rounded
exactly as the C library's printf is (a minus sign on negative zero included). Non-finite
values are written by hand as +INF, -INF, +NAN or -NAN.

Usage: reference_model.py CASE_DIR [CASE_DIR ...]
"""

import math
import os
import re
import sys

PI = 3.141592653589793  # the model's pi, also math.pi
LINE_CAPACITY = 1000  # a line holds at most 999 characters and its terminating NUL

KEYWORDS = [
    "lat", "lon", "cw", "cwx", "atmfile", "wdata", "wazi", "wvel", "tnn", "tgrad",
    "oform", "mass", "loss", "inc", "azi", "vel", "alt", "dia", "stopflag", "stopval",
    "hpdt", "hperad", "hpwnd", "hpg", "highprec", "lowprec", "tmax",
]


# ---------------------------------------------------------------------------------------------
# Text input and the settings syntax
# ---------------------------------------------------------------------------------------------

def read_text_lines(path):
    """Lines as the readers see them: CR dropped, Ctrl-Z ends the text, pieces of at most 999
    characters up to and including LF, the final LF removed. Returns None if unopenable."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    data = data.replace(b"\r", b"")
    cut = data.find(b"\x1a")
    if cut >= 0:
        data = data[:cut]
    text = data.decode("latin-1")
    lines = []
    pos = 0
    while pos < len(text):
        end = text.find("\n", pos)
        end = len(text) if end < 0 else end + 1
        end = min(end, pos + LINE_CAPACITY - 1)
        piece = text[pos:end]
        pos = end
        if piece.endswith("\n"):
            piece = piece[:-1]
        nul = piece.find("\0")
        if nul >= 0:
            piece = piece[:nul]
        lines.append(piece)
    return lines


NUMBER = re.compile(r"[ \t\n\v\f\r]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)")
WHOLE = re.compile(r"[ \t\n\v\f\r]*([+-]?\d+)")


def number_rule(value):
    """strtod's decimal syntax: the number at the start, 0 when there is none."""
    m = NUMBER.match(value)
    if not m:
        return 0.0
    return float(m.group(1))


def whole_number_rule(value):
    m = WHOLE.match(value)
    if not m:
        return 0
    return int(m.group(1))


def is_true(value):
    return value.lower() == "true" and value.isascii()


def find_keyword(key):
    if key == "":
        return -1
    for i, word in enumerate(KEYWORDS):
        if len(key) == len(word) and all(
                a == b or (a.isascii() and a.lower() == b) for a, b in zip(key, word)):
            return i
    return -1


def settings_lines(lines):
    """(index, value) for every line with an equals sign."""
    for line in lines:
        if len(line) == 0 or "=" not in line:
            continue
        key, value = line.split("=", 1)
        yield find_keyword(key), value


def to_radians(degrees):
    return degrees * (1 / 180) * PI


def to_degrees(radians):
    return radians * 180 * (1 / PI)


# ---------------------------------------------------------------------------------------------
# Settings files
# ---------------------------------------------------------------------------------------------

class Model:
    def __init__(self):
        # precision settings
        self.hpwnd = self.hpg = self.hperad = self.hpdt = True
        self.tmax = 0.0
        # scenario
        self.lat = self.lon = 0.0
        self.cw = 0.7
        self.cwx = True
        self.atmfile = ""
        self.wdata = False
        self.wazi = self.wvel = 0.0
        self.tnn = 15.0
        self.oform = ""
        self.mass = self.loss = self.inc = self.azi = self.vel = self.alt = self.dia = 0.0
        self.stopflag = 0
        self.stopval = 0.0
        # earth
        self.earth_radius = 6371000.0
        self.sea_level_gravity = 9.808
        self.gravity = 9.808
        # environment sample
        self.wind_azimuth = self.wind_speed = 0.0
        self.wind_vector = [0.0, 0.0, 0.0]
        self.air_density = 0.0
        # wind profile
        self.rows = []
        self.cursor = 0
        # body
        self.body_density = self.ablation = self.volume = self.cross_section = 0.0
        self.drag_coefficient = 0.0
        # flight state
        self.pos = [0.0, 0.0, 0.0]
        self.vel_v = [0.0, 0.0, 0.0]
        self.acc = [0.0, 0.0, 0.0]
        self.force = [0.0, 0.0, 0.0]
        self.rel = [0.0, 0.0, 0.0]
        self.rel_speed = 0.0
        self.drag_force = 0.0
        self.time = 0.0
        self.current_mass = 0.0

    def read_precision(self, lines):
        highprec = lowprec = False
        for index, value in settings_lines(lines):
            if index == 20:
                self.hpdt = is_true(value)
            elif index == 21:
                self.hperad = is_true(value)
            elif index == 22:
                self.hpwnd = is_true(value)
            elif index == 23:
                self.hpg = is_true(value)
            elif index == 24:
                highprec = is_true(value)
            elif index == 25:
                lowprec = is_true(value)
            elif index == 26:
                self.tmax = number_rule(value)
        if lowprec:
            self.hpwnd = self.hpg = self.hperad = self.hpdt = False
        if highprec:
            self.hpwnd = self.hpg = self.hperad = self.hpdt = True

    def read_scenario(self, lines):
        for index, value in settings_lines(lines):
            if index == 0:
                self.lat = to_radians(number_rule(value))
            elif index == 1:
                self.lon = to_radians(number_rule(value))
            elif index == 2:
                self.cw = number_rule(value)
            elif index == 3:
                self.cwx = is_true(value)
            elif index == 4:
                self.atmfile = value
            elif index == 5:
                self.wdata = is_true(value)
            elif index == 6:
                self.wazi = number_rule(value)
            elif index == 7:
                self.wvel = number_rule(value)
            elif index == 8:
                self.tnn = number_rule(value)
            elif index == 10:
                self.oform = "".join(c.lower() if "A" <= c <= "Z" else c for c in value)
            elif index == 11:
                self.mass = number_rule(value)
            elif index == 12:
                self.loss = number_rule(value) * 0.01
            elif index == 13:
                self.inc = number_rule(value)
            elif index == 14:
                self.azi = number_rule(value)
            elif index == 15:
                self.vel = number_rule(value)
            elif index == 16:
                self.alt = number_rule(value)
            elif index == 17:
                self.dia = number_rule(value) * 0.001
            elif index == 18:
                self.stopflag = whole_number_rule(value)
            elif index == 19:
                self.stopval = number_rule(value)
        return self.dia > 0 and self.mass > 0

    # -----------------------------------------------------------------------------------------
    # Wind profile
    # -----------------------------------------------------------------------------------------

    def load_wind_profile(self, base_dir):
        path = self.atmfile
        if not os.path.isabs(path):
            path = os.path.join(base_dir, path)
        lines = read_text_lines(path) if self.atmfile != "" else None
        rows = []
        for line in lines or []:
            if len(line) == 0:
                continue
            fields = [f for f in re.split(r"[,; \t]+", line) if f != ""]
            row = [number_rule(f) for f in fields[:4]]
            row += [0.0] * (4 - len(row))
            rows.append(row)
            if len(rows) == 5000:
                break
        if len(rows) <= 1:
            self.wdata = False
            if len(rows) == 1:
                self.wazi = rows[0][1]
                self.wvel = rows[0][2]
        self.rows = rows

    def wind_at_altitude(self, h):
        rows = self.rows
        n = len(rows)
        c = self.cursor
        while c < n - 1 and h > rows[c][0]:
            c += 1
        while c > 0 and h < rows[c][0]:
            c -= 1
        self.cursor = c
        azimuth = rows[c][1]
        speed = rows[c][2]
        if self.hpwnd and c < n - 1 and not (c == 0 and h < rows[0][0]):
            f = (h - rows[c][0]) / (rows[c + 1][0] - rows[c][0])
            azimuth = rows[c][1] + (rows[c + 1][1] - rows[c][1]) * f
            speed = rows[c][2] + (rows[c + 1][2] - rows[c][2]) * f
        return azimuth, speed

    # -----------------------------------------------------------------------------------------
    # Set-up
    # -----------------------------------------------------------------------------------------

    def set_up(self):
        a = 6378137.0
        b = 6356752.0
        if self.hperad:
            sa = a * math.sin(self.lat)
            cb = b * math.cos(self.lat)
            self.earth_radius = a * b / math.sqrt(sa * sa + cb * cb)
        self.time_step = 0.001 if self.hpdt else 0.01
        self.time_limit = self.tmax if self.tmax > 0 else 1800.0
        self.row_interval = 1.0
        r = 0.5 * self.dia
        self.volume = r * r * r * 4.1887902047863905
        self.body_density = self.mass / self.volume
        self.current_mass = self.mass
        if self.loss > 0.9999:
            self.loss = 0.9999
        if self.loss < 0:
            self.loss = 0.0
        if self.loss == 0:
            self.ablation = 0.0
        else:
            self.ablation = -2 * math.log(1 - self.loss) / (self.vel * self.vel)
        if self.hpg:
            c = math.cos(self.lat)
            self.sea_level_gravity = 9.832 - 0.052 * (c * c)
        self.gravity = 9.808
        i = to_radians(self.inc)
        az = to_radians(self.azi)
        self.pos = [0.0, self.alt, 0.0]
        vy = -self.vel * math.sin(i)
        horizontal = self.vel * math.cos(i)
        self.vel_v = [-horizontal * math.cos(az), vy, -horizontal * math.sin(az)]
        self.cursor = len(self.rows) - 1
        self.stop_mode = self.stopflag if self.stopflag in (1, 2, 3) else 1
        self.stop_value = self.stopval
        self.time = 0.0
        self.since_last_row = 0.0

    # -----------------------------------------------------------------------------------------
    # One step's parts
    # -----------------------------------------------------------------------------------------

    def sample_environment(self, h):
        if self.wdata:
            self.wind_azimuth, self.wind_speed = self.wind_at_altitude(h)
        else:
            self.wind_azimuth, self.wind_speed = self.wazi, self.wvel
        t = self.tnn + 273.14
        base = 1 - (0.0065 * h) / t
        self.air_density = 1.204 * base ** 4.255 if base > 0 else 0.0
        theta = to_radians(self.wind_azimuth)
        self.wind_vector = [-self.wind_speed * math.cos(theta), 0.0,
                            -self.wind_speed * math.sin(theta)]

    def evaluate_drag(self):
        self.rel = [self.vel_v[k] - self.wind_vector[k] for k in range(3)]
        rx, ry, rz = self.rel
        self.rel_speed = math.sqrt(rx * rx + ry * ry + rz * rz)
        mach = self.rel_speed / 343.0
        if self.cwx:
            c1 = (mach * mach + 1) * 0.46
            c2 = (math.exp(-2 * mach) + 1) * (2 * 0.46)
            self.drag_coefficient = c1 if c1 < c2 else c2
        else:
            self.drag_coefficient = self.cw
        self.volume = self.current_mass / self.body_density
        r = (self.volume * 0.238732414637843) ** (1 / 3)
        self.cross_section = PI * r * r
        s = self.rel_speed
        self.drag_force = 0.5 * self.air_density * self.cross_section * self.drag_coefficient * s * s
        for k in range(3):
            bracket = self.rel[k] / s if s != 0 else 0.0
            self.force[k] = -self.drag_force * bracket

    def update_gravity(self, h):
        if self.hpg:
            self.gravity = self.sea_level_gravity * self.earth_radius / (self.earth_radius + h)

    def update_mass(self):
        m = self.current_mass - self.time_step * self.ablation * self.drag_force * self.rel_speed
        self.current_mass = 0.0 if m < 0 else m

    # -----------------------------------------------------------------------------------------
    # Output
    # -----------------------------------------------------------------------------------------

    def row_text(self, letters):
        tab = "x" in letters

        def fmt(value, precision):
            if math.isfinite(value):
                text = "%.*f" % (precision, value)
            else:
                sign = "-" if math.copysign(1.0, value) < 0 else "+"
                text = sign + ("NAN" if math.isnan(value) else "INF")
            return text if tab else text.rjust(10)

        sep = "\t" if tab else "  "
        x, y, z = self.pos
        vx, vy, vz = self.vel_v
        fields = [fmt(self.time, 2), fmt(y, 2)]
        if "p" in letters:
            r = self.earth_radius
            fields.append(fmt(to_degrees(x / r + self.lat), 6))
            fields.append(fmt(to_degrees(z / (r * math.cos(self.lat)) + self.lon), 6))
        if "d" in letters:
            fields += [fmt(x, 2), fmt(z, 2), fmt(math.sqrt(x * x + z * z), 2)]
        if "v" in letters:
            speed = math.sqrt(vx * vx + vy * vy + vz * vz)
            azimuth = 0.0
            if math.fabs(vx) >= 0.0000001 or math.fabs(vz) >= 0.0000001:
                azimuth = to_degrees(math.atan2(-vz, -vx))
            if azimuth < 0:
                azimuth += 360
            q = vy / speed if speed != 0 else 0.0
            inclination = to_degrees(-math.asin(q))
            fields += [fmt(inclination, 4), fmt(azimuth, 4), fmt(speed, 4)]
        if "a" in letters:
            fields += [fmt(self.wind_azimuth, 3), fmt(self.wind_speed, 3),
                       fmt(self.air_density, 3)]
        if "m" in letters:
            fields += [fmt(self.current_mass, 5), fmt(self.drag_coefficient, 3)]
        return sep.join(fields)

    def header_text(self, letters):
        tab = "x" in letters
        groups = [
            ("", ["time(s)", "alt(m)"]),
            ("p", ["lat(dg)", "lon(dg)"]),
            ("d", ["dlat(m)", "dlon(m)", "dis(m)"]),
            ("v", ["inc(dg)", "az(dg)", "vel(m/s)"]),
            ("a", ["w-az(dg)", "w-vel(m/s)", "dens"]),
            ("m", ["mass(kg)", "Cw"]),
        ]
        labels = []
        for letter, names in groups:
            if letter == "" or letter in letters:
                labels += names
        if tab:
            return "\t".join(labels)
        return "  ".join(label.rjust(10) for label in labels)

    def track_row(self):
        text = self.row_text(self.oform)
        if "c" in self.oform:
            text = text.replace(".", ",")
        return text + "\n"

    # -----------------------------------------------------------------------------------------
    # The loop
    # -----------------------------------------------------------------------------------------

    def run_loop(self):
        out = [self.header_text(self.oform) + "\n"]
        dt = self.time_step
        while self.time < self.time_limit:
            h = self.pos[1]
            self.sample_environment(h)
            self.evaluate_drag()
            self.update_gravity(h)
            self.force[1] = self.force[1] - self.current_mass * self.gravity
            if self.current_mass != 0:
                self.acc = [self.force[k] / self.current_mass for k in range(3)]
            if self.pos[1] < 0:
                self.pos[1] = 0.0
            if self.stop_mode == 2:
                stop = self.time >= self.stop_value
            elif self.stop_mode == 3:
                stop = self.rel_speed <= self.stop_value
            else:
                stop = self.pos[1] <= self.stop_value
            if self.current_mass <= 0:
                stop = True
            on_ground = self.pos[1] == 0
            if self.since_last_row >= self.row_interval or stop or on_ground or self.time == 0:
                out.append(self.track_row())
                self.since_last_row = 0.0
            if on_ground or stop:
                break
            self.pos = [self.pos[k] + self.vel_v[k] * dt for k in range(3)]
            self.vel_v = [self.vel_v[k] + self.acc[k] * dt for k in range(3)]
            self.update_mass()
            self.time = self.time + dt
            self.since_last_row = self.since_last_row + dt
        return "".join(out)

    def summary(self):
        return "SUCCESS\t%s\t%.3f\t%.5f\n" % (self.row_text("pdvxm"), self.body_density, self.mass)


def run_case(case_dir):
    model = Model()
    ini = read_text_lines(os.path.join(case_dir, "Kestro.ini"))
    if ini is not None:
        model.read_precision(ini)
    scenario = read_text_lines(os.path.join(case_dir, "scenario.txt"))
    if scenario is None or not model.read_scenario(scenario):
        raise SystemExit("%s: the scenario cannot be flown" % case_dir)
    if model.wdata:
        model.load_wind_profile(case_dir)
    model.set_up()
    track = model.run_loop()
    with open(os.path.join(case_dir, "expected-track.txt"), "w", newline="\n") as f:
        f.write(track)
    with open(os.path.join(case_dir, "expected-summary.txt"), "w", newline="\n") as f:
        f.write(model.summary())
    return model


if __name__ == "__main__":
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    for case in sys.argv[1:]:
        run_case(case)
