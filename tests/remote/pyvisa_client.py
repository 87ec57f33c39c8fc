#!/usr/bin/env python3
"""The SCPI server driven by a real client: PyVISA with its pure-Python backend, as a lab
script drives an instrument.   pyvisa_client.py PROGRAM

Starts `PROGRAM serve` on the simulated instrument with deterministic inputs (squares,
no noise) on a free loopback port, then: a capture read through query_binary_values
against `PROGRAM capture --out=F.csv` of the same input, sample for sample, and every
MEASure value against `PROGRAM measure --json`, the spectrum and its peaks against
`PROGRAM spectrum`; every
setting set and read back in long, short and mixed-case forms; compound commands; the
error queue's numbers; the status registers. Ends the server with SIGTERM, which must
exit cleanly."""
import json
import os
import signal
import subprocess
import sys
import tempfile
import unittest

import pyvisa

PROGRAM = sys.argv.pop(1)
INPUTS = ["--port=sim", "--noise=0", "--input-a=square:1000:1", "--input-b=square:2000:0.5"]
# The capture both sides take: 4096 samples at 200 kS/s, both channels on 1.2 V DC,
# triggered on A rising through 0 V, so the squares' edges fall on the same samples.
CAPTURE_SCPI = ("ACQ:SRAT 200 KHZ;POIN 4096;:CHAN1:RANG 1.2;COUP DC;:CHAN2:RANG 1.2 V;COUP DC;"
                ":TRIG:MODE NORM;SOUR CHAN1;SLOP POS;LEV 0;PRET 0")
CAPTURE_CLI = ["--rate=200k", "--size=4K", "--range-a=1.2", "--range-b=1.2", "--coupling-a=dc",
               "--coupling-b=dc", "--trigger=a+", "--level=0", "--pretrigger=0"]


MEASURES = [("FREQ", "frequency_hz"), ("PER", "period_s"), ("VPP", "vpp_v"), ("VMAX", "vmax_v"),
            ("VMIN", "vmin_v"), ("VAV", "mean_v"), ("VRMS", "rms_v"), ("ACRM", "ac_rms_v"),
            ("DUTY", "duty_pct"), ("RIS", "rise_s"), ("FALL", "fall_s"), ("CLIP", "clipped"),
            ("PART", "partial_period")]


class Remote(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.log = tempfile.TemporaryFile()
        cls.server = subprocess.Popen([PROGRAM, "serve", *INPUTS, "--listen=127.0.0.1:0"],
                                      stdout=subprocess.PIPE, stderr=cls.log, text=True)
        line = cls.server.stdout.readline()
        if not line.startswith("Listening on 127.0.0.1:"):
            raise RuntimeError("serve did not start: " + line)
        cls.rm = pyvisa.ResourceManager("@py")
        cls.inst = cls.rm.open_resource(
            "TCPIP::127.0.0.1::%s::SOCKET" % line.rsplit(":", 1)[1].strip(),
            read_termination="\n", write_termination="\n", timeout=60000)

    @classmethod
    def tearDownClass(cls):
        cls.inst.close()
        cls.rm.close()
        cls.server.send_signal(signal.SIGTERM)
        status = cls.server.wait(60)
        cls.server.stdout.close()
        cls.log.seek(0)
        log = cls.log.read().decode()
        cls.log.close()
        assert status == 0, "serve ended with %d:\n%s" % (status, log)

    def setUp(self):
        self.inst.write("*RST;*CLS")

    def errors(self):
        """The error queue's numbers, emptied."""
        out = []
        while True:
            code = int(self.inst.query("SYST:ERR?").split(",")[0])
            if code == 0:
                return out
            out.append(code)

    def test_capture_matches_the_csv_export_sample_for_sample(self):
        self.inst.write(CAPTURE_SCPI)
        self.assertEqual(self.inst.query("SING;*OPC?"), "1")
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "c.csv")
            subprocess.run([PROGRAM, "capture", *INPUTS, *CAPTURE_CLI, "--out=" + path],
                           check=True)
            with open(path, newline="") as f:
                lines = f.read().split("\r\n")
        self.assertEqual(float(lines[1].split(",")[1]), 200000)
        csv = [[float(v) for v in row.split(",")] for row in lines[3:] if row]
        for ch in (1, 2):
            self.inst.write("WAV:SOUR CHAN%d;FORM BYTE" % ch)
            fields = self.inst.query("WAV:PRE?").split(",")
            points, xinc = int(fields[2]), float(fields[4])
            yinc, yorg, yref = float(fields[7]), float(fields[8]), float(fields[9])
            self.assertEqual((points, xinc), (4096, 1 / 200000))
            codes = self.inst.query_binary_values("WAV:DATA?", datatype="B", container=list)
            self.inst.write("WAV:FORM WORD;BYT MSBF")
            words = self.inst.query_binary_values("WAV:DATA?", datatype="H",
                                                  is_big_endian=True, container=list)
            self.inst.write("WAV:FORM ASC")
            text = self.inst.query("WAV:DATA?")
            ascii = [float(v) for v in text[2 + int(text[1]):].split(",")]
            self.assertEqual(words, codes)
            self.assertEqual(len(codes), len(csv))
            # The CSV rounds to whole millivolts on the 1.2 V range.
            for i, (code, row) in enumerate(zip(codes, csv)):
                volts = (code - yref) * yinc + yorg
                self.assertAlmostEqual(volts, row[ch - 1], delta=0.0005 + 1e-9, msg="sample %d" % i)
                self.assertAlmostEqual(ascii[i], volts, delta=1e-9, msg="sample %d" % i)
            self.assertEqual(sorted(set(codes)), [21, 235] if ch == 1 else [75, 181])
        self.assertEqual(self.errors(), [])
        # Every value of the Measurements panel, as `measure --json` gives it for the same
        # input; B's level stays in its noise at A's frequency, so gain and phase are none.
        report = json.loads(subprocess.run([PROGRAM, "measure", *INPUTS, *CAPTURE_CLI, "--json"],
                                           check=True, capture_output=True, text=True).stdout)
        for ch, name in ((1, "A"), (2, "B")):
            for header, key in MEASURES:
                got = self.inst.query("MEAS:%s? CHAN%d" % (header, ch))
                want = report["channels"][name][key]
                self.assertEqual(got if isinstance(want, bool) else float(got),
                                 str(int(want)) if isinstance(want, bool) else want,
                                 "%s %s" % (name, key))
        self.assertEqual(self.inst.query("MEAS:GAIN?;PHAS?"), "9.91E+37;9.91E+37")
        self.assertEqual(self.errors(), [-200, -200])

    def test_spectrum_matches_the_spectrum_command(self):
        self.inst.write("INST:MODE FFT;:" + CAPTURE_SCPI)
        self.assertEqual(self.inst.query("SING;*OPC?"), "1")
        self.inst.write("SPECtrum:WIND HANN;SCAL DBV")
        cli = [PROGRAM, "spectrum", *INPUTS, *CAPTURE_CLI, "--window=hann", "--scale=dbv"]
        def run(*more):
            return subprocess.run(cli + list(more), check=True, capture_output=True,
                                  text=True).stdout
        report = json.loads(run("--peaks=3", "--json"))
        rows = [[float(v) for v in line.split(",")] for line in run("--out=-").splitlines()[1:]]
        for ch, name in ((1, "A"), (2, "B")):
            bins = self.inst.query_binary_values("SPECtrum:DATA? CHAN%d" % ch, datatype="f",
                                                 container=list)
            self.assertEqual(len(bins), len(rows))
            for i, (got, row) in enumerate(zip(bins, rows)):  # 32-bit floats
                self.assertAlmostEqual(got, row[ch], delta=1e-6 * abs(row[ch]), msg="bin %d" % i)
            peaks = [float(v) for v in self.inst.query("SPECtrum:PEAK? CHAN%d,3" % ch).split(",")]
            self.assertEqual(peaks, [p[k] for p in report["peaks"] if p["channel"] == name
                                     for k in ("frequency_hz", "level", "amplitude_v")])
        self.assertEqual(self.errors(), [])

    def test_every_setting_reads_back(self):
        rows = [  # (setting, query, answer)
            ("acquire:srate 20000", ":ACQ:SRAT?", "20000"),
            (":ACQuire:POINts 16384", "acq:poin?", "16384"),
            ("ACQ:POIN MAX", "ACQ:POIN?", "32768"),
            ("ACQ:MODE REPeat", "ACQ:MODE?", "REP"),
            ("ACQ:TIM 2.5", "ACQ:TIMEOUT?", "2.5"),
            ("CHAN2:DISP OFF", "CHAN2:DISP?", "0"),
            ("CHANnel2:DISPlay ON", "CHAN2:DISP?", "1"),
            ("CHAN1:PROB 10", "CHAN1:PROB?", "10"),
            ("CHAN1:RANG 120", "CHAN1:RANG?", "120"),
            ("CHAN1:PROB 1;RANG 1.2", "CHAN1:RANG?", "1.2"),
            ("CHAN2:COUP DC", "CHAN2:COUPLING?", "DC"),
            ("CHAN1:MAG 5", "CHAN1:MAGNIFY?", "5"),
            ("CHAN1:POS -2", "CHAN1:POS?", "-2"),
            ("TRIG:MODE NORMAL", "TRIG:MODE?", "NORM"),
            ("TRIG:SOUR CHANNEL2", "TRIG:SOUR?", "CHAN2"),
            ("TRIG:SLOP NEG", "TRIG:SLOPE?", "NEG"),
            ("TRIG:SOUR CHAN1;LEV 93.75 MV", "TRIG:LEV?", "0.09375"),
            ("TRIG:PRET 100", "TRIG:PRET?", "100"),
            ("DISP:GRID OFF", "DISP:GRID?", "0"),
            ("DISP:JOIN 0", "DISP:JOIN?", "0"),
            ("DISP:UNIT ON", "DISP:UNITS?", "1"),
            ("DISP:TRAC2 ON", "DISP:TRAC2?", "1"),
            ("DISP:DEL ON", "DISP:DELAY?", "1"),
            ("MATH:MODE DIFF", "MATH:MODE?", "DIFF"),
            ("MATH:MODE SUM;MAG 2", "MATH:MAG?", "2"),
            ("MATH:POS 1", "MATH:POS?", "1"),
            ("WAV:SOUR CHAN2;FORM ASCII;BYT MSBF", "WAV:SOUR?;FORM?;BYT?", "CHAN2;ASC;MSBF"),
            ("SPECtrum:WIND HANN;SCAL DBV", "SPECtrum:WIND?;SCAL?", "HANN;DBV"),
            ("INST:MODE GENERATOR", "INST:MODE?", "GEN"),
            ("DISP:TRAC3 ON", "DISP:TRAC3?", "1"),
            ("SOUR:FREQ 12.5 KHZ", "SOUR:FREQ?", "12500"),
            ("SOUR:VOLT 1", "SOUR:VOLT?", "1"),
            ("SOUR:FUNC SQU;DCYC 30", "SOUR:FUNC?;DCYC?", "SQU;30"),
            ("SOUR:MODE SWE;SWE:STAR 5000", "SOUR:SWE:STAR?", "5000"),
            ("SOUR:SWE:RAT 20", "SOUR:SWE:RAT?", "20"),
            ("SOUR:MODE CUST;CUST:RATE 200000", "SOUR:CUST:RATE?", "200000"),
            ("SOUR:CUST:AMPL MAX", "SOUR:CUST:AMPL?", "MAX"),
            ("INST:MODE SGEN", "INST:MODE?", "SGEN"),
            ("INST:MODE FFT", "INST:MODE?", "FFT"),
        ]
        for setting, query, answer in rows:
            self.inst.write(setting)
            self.assertEqual(self.inst.query(query), answer, setting)
            self.assertEqual(self.errors(), [], setting)
        # A custom wave from a block reads back byte for byte.
        self.inst.write("INST:MODE GEN")
        wave = list(range(0, 256, 5)) + [10] * 9
        self.inst.write_binary_values("SOUR:CUST:DATA ", wave, datatype="B")
        self.assertEqual(self.inst.query_binary_values("SOUR:CUST:DATA?", datatype="B",
                                                       container=list), wave)
        self.assertEqual(self.inst.query("SOUR:MODE?"), "CUST")
        self.assertEqual(self.errors(), [])

    def test_compound_commands_keep_the_path(self):
        self.inst.write("ACQ:SRAT 200000;POIN 8192;:TRIG:MODE NORM;SLOP NEG;:CHAN2:COUP DC")
        self.assertEqual(self.inst.query(":ACQ:SRAT?;POIN?;:TRIG:MODE?;SLOP?;*IDN?;:CHAN2:COUP?"),
                         "200000;8192;NORM;NEG;" + self.inst.query("*IDN?") + ";DC")

    def test_errors_carry_the_standard_numbers(self):
        rows = [
            ("FOO:BAR 1", [-113]),
            ("ACQ::SRAT 1", [-102]),
            ("ACQ:SRAT", [-109]),
            ("ACQ:POIN 4096,2", [-108]),
            ("ACQ:POIN \"4096\"", [-104]),
            ("ACQ:POIN 5000", [-222]),
            ("CHAN1:COUP XY", [-224]),
            ("CHAN1:RANG 120", [-221]),  # the x1 probe
            ("SOUR:FREQ 1000", [-221]),  # the generator panel is locked in SCOPE mode
            ("CHAN3:RANG 12", [-114]),
            ("ACQ:SRAT 2 MV", [-131]),
            ("MEAS:FREQ?", [-230]),  # nothing captured yet
            ("ACQ:SRAT 20000;FOO;POIN 8192", [-113]),  # the rest of the message is dropped
            ("FOO\n" * 20, [-113] * 15 + [-350]),
        ]
        for command, codes in rows:
            if command.endswith("?"):
                self.assertEqual(self.inst.query(command), "9.91E+37")
            else:
                self.inst.write(command.rstrip("\n"))
            self.assertEqual(self.errors(), codes, command)
        self.assertEqual(self.inst.query("ACQ:SRAT?;POIN?"), "20000;4096")
        # A query after an undefined header in its message is not answered.
        self.assertEqual(self.inst.query("*IDN?;FOO;*IDN?"), self.inst.query("*IDN?"))
        self.assertEqual(self.errors(), [-113])

    def test_status_registers(self):
        self.inst.write("FOO")
        self.assertEqual(self.inst.query("*ESR?"), "32")  # command error
        self.assertEqual(self.inst.query("*ESR?"), "0")  # read and cleared
        self.inst.write("*ESE 36;*SRE 32;FOO")
        # Error queued (4), an enabled event (32), the summary (64).
        self.assertEqual(self.inst.query("*STB?"), "100")
        captures = int(self.inst.query("ACQ:COUN?"))
        self.inst.write("*CLS;*ESE 0;*SRE 0;" + CAPTURE_SCPI + ";:SING;*OPC")
        self.assertEqual(self.inst.query("*OPC?"), "1")
        self.assertEqual(int(self.inst.query("*ESR?")) & 1, 1)  # operation complete
        self.assertEqual(int(self.inst.query("ACQ:COUN?")), captures + 1)
        self.assertEqual(self.inst.query("*TST?"), "0")


if __name__ == "__main__":
    unittest.main()
