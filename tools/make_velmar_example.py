#!/usr/bin/env python3
"""Writes the bundled analog project (examples/velmar/) from the example tables.

The files are written exactly as the workbench's "New Velmar Project..." writes them:
a reference file (.ref), an environment file (.env), a core file (.sam) and the
seventeen-line project file (.pro), with the default engine parameters, the
species-in-line layout and the percent data format. Values the workbench holds in
single precision are rounded to single precision here too, so the fixed columns
carry the same digits.

Usage: python3 tools/make_velmar_example.py [SOURCE_DIR] [OUTPUT_DIR]
SOURCE_DIR defaults to ../shared/data/example beside the repository.
"""

import os
import struct
import sys

SPECIES_POSITIONS = 45
PERCENT_DATA = 1  # the tables hold percentages
CORE_HEADER_FLAG, REFERENCE_HEADER_FLAG = 0, 1
JACKKNIFE, MAX_ANALOGS, GRID_STEP_X100, SEARCH_RADIUS_X100 = 1, 10, 25, 30
OUTPUT_FOLDER = "./"
FILES = {"ref": "reference.ref", "env": "environment.env", "sam": "core_V12-122.sam",
         "pro": "Velmar_Project1.pro"}


def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def read_tsv(path):
    with open(path, encoding="utf-8") as handle:
        return [line.rstrip("\r\n").split("\t") for line in handle if len(line.rstrip("\r\n")) >= 2]


def cell_value(cell, empty):
    return f32(float(cell)) if cell.strip() else f32(empty)


def read_species_in_line(path):
    rows = read_tsv(path)
    species = rows[1][1:]
    samples = [(row[0], [cell_value(c, 0.0) for c in row[1:]]) for row in rows[2:]]
    return species, samples


def degrees_and_minutes(value):
    """Splits signed decimal degrees as the location reader stores them."""
    magnitude = f32(abs(value))
    degrees = f32(float(int(magnitude)))
    minutes = f32(f32(magnitude - degrees) * 60.0)
    return (-degrees, -minutes) if value < 0.0 else (degrees, minutes)


def read_locations(path):
    locations = []
    for row in read_tsv(path)[1:]:
        latitude = cell_value(row[1], -999.99)
        longitude = cell_value(row[2], -999.99)
        if longitude > 180.0:
            longitude = f32(longitude - 360.0)
        locations.append(degrees_and_minutes(latitude) + degrees_and_minutes(longitude)
                         + (cell_value(row[3], -999.99),))
    return locations


def name12(name):
    return name[:12].ljust(12)


def sample_file(samples, locations):
    lines = []
    for (name, values), (lat_d, lat_m, lon_d, lon_m, depth) in zip(samples, locations):
        lines.append("%s%+04.0f%+04.0f    %+04.0f%+04.0f    %4.0f\n"
                     % (name12(name), lat_d, lat_m, lon_d, lon_m, depth))
        padded = values + [0.0] * (SPECIES_POSITIONS - len(values))
        for first in range(0, SPECIES_POSITIONS, 15):
            cells = "".join("%04.0f" % (v * 100.0 if PERCENT_DATA else v)
                            for v in padded[first:first + 15])
            lines.append(" " * 12 + cells + "\n")
    return "".join(lines)


def environment_file(rows):
    return "".join("%s %5.2f     %5.2f\n" % (name12(r[0]), cell_value(r[1], -999.99),
                                             cell_value(r[2], -999.99)) for r in rows)


def descriptor_lines(species_count, first_line):
    s = species_count
    if s > 30:
        rest = ["12X,15F4.0/12X,15F4.0/", "12X,%dF4.0)" % (s - 30)]
    elif s > 15:
        rest = ["12X,15F4.0/", "12X,%dF4.0/12X)" % (s - 15)]
    else:
        rest = ["12X,%dF4.0/" % s, "12X/12X)"]
    return [first_line] + rest


def project_file(species, subject_count, analog_count):
    codes = [name[:5].ljust(5) for name in species]
    codes += ["     "] * (SPECIES_POSITIONS - len(codes))
    lines = ["./" + FILES["sam"], "./" + FILES["ref"], "./" + FILES["env"],
             OUTPUT_FOLDER + "SST_complete.txt", OUTPUT_FOLDER + "SST_short.txt",
             "%1d%1d" % (CORE_HEADER_FLAG, REFERENCE_HEADER_FLAG),
             "%2d %4d %4d %1d %2d %5.3f %5.3f" % (len(species), subject_count, analog_count,
                                                  JACKKNIFE, MAX_ANALOGS,
                                                  GRID_STEP_X100 / 100.0,
                                                  SEARCH_RADIUS_X100 / 100.0)]
    for first in range(0, SPECIES_POSITIONS, 15):
        lines.append("".join(code + " " for code in codes[first:first + 15]))
    lines += descriptor_lines(len(species), "(A12/")
    lines += descriptor_lines(len(species), "(A12,2F4.0,4X,2F4.0,4X,I4/")
    lines.append("(13X,F5.2,5X,F5.2)")
    return "".join(line + "\n" for line in lines)


def main():
    repository = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        repository, "..", "shared", "data", "example")
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(repository, "examples", "velmar")
    os.makedirs(output, exist_ok=True)

    species, references = read_species_in_line(os.path.join(source, "reference_species-in-line.tsv"))
    core_species, cores = read_species_in_line(os.path.join(source, "core_V12-122_species-in-line.tsv"))
    if core_species != species:
        sys.exit("the core table's species differ from the reference table's")
    environment = read_tsv(os.path.join(source, "environment.tsv"))[1:]
    if [row[0] for row in environment] != [name for name, _ in references]:
        sys.exit("the environment stations differ from the reference samples")

    outputs = {
        "ref": sample_file(references, read_locations(os.path.join(source, "reference_locations.tsv"))),
        "env": environment_file(environment),
        "sam": sample_file(cores, read_locations(os.path.join(source, "core_V12-122_locations.tsv"))),
        "pro": project_file(species, len(cores), len(references)),
    }
    for key, text in outputs.items():
        with open(os.path.join(output, FILES[key]), "w", encoding="ascii", newline="\n") as handle:
            handle.write(text)


if __name__ == "__main__":
    main()
