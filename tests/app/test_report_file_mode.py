"""sso.exe --report=FILE as a support script starts it: through Wine, with the
whole argument quoted, on a Chinese system and on one that is not."""

import os
import subprocess
import tempfile
import time
import unittest

WINE_EXEC = os.environ.get('SSO_WINE_EXEC', '')
BIN = os.environ.get('SSO_BIN_DIR', '')
SCENARIO = os.environ.get('SSO_DEFAULT_SCENARIO', '')
# A program that opens its window instead would wait for a person.
PROGRAM_TIMEOUT = 120

EXPECTED_DEFAULT_REPORT = (
    '\n   Tavren 自然人憑證檢查程式 v3.1   2005/08/15'
    '\n   --------------------------------------------------------------------------\n'
    '\n  檢查讀卡機\n      你有 1 台讀卡機\n'
    '       第 1 台讀卡機: Generic USB Smart Card Reader 0 -- 有插卡\n'
    '                卡片資訊: 3B 8A 80 01 53 49 4D 43 41 52 44 30 30 31 79 \n'
    '\n  檢查根憑證\n      你有安裝自然人根憑證\n      根憑證有效期限: 2031 年 12 月 31 日\n'
    '\n  檢查CSP及驅動程式\n      你有安裝自然人憑證 SafeSign CSP。\n'
    '      你有安裝自然人憑證 HiCOS PKI Smart Card CSP。\n'
    '      你有安裝safeSign自然人憑證驅動程式。\n'
    '      你有安裝HiCOS自然人憑證驅動程式。\n'
    '\n  檢查卡片\n      你有插入 GCA 5.0 憑證智慧卡\n'
    '\n  檢查憑證\n      你的憑證是發給: 王大明\n      你的憑證有效期限: 2029 年 6 月 30 日\n'
    '\n  自然人憑證卡號: \n        TP03000000001234\n'
    '\n  【本程式由 PKI專業廠商 Tavren 所提供】\n'
    '\n    如有 PKI 相關問題，請洽 Tavren 客服專線 (02)2700-5678 或來信 pki-support@tavren.com.tw'
    '\n    Tavren 提供完整的 PKI 安全產品系列，相關資料請參閱 http://www.tavren.com.tw/pki/\n'
).encode('cp950')


def windows_path(path):
    return 'Z:' + path.replace('/', '\\')


def run(*arguments, locale=None):
    """Runs a program of the build through Wine; (exit code, stdout, stderr)."""
    environment = dict(os.environ)
    if locale:
        environment['SSO_WINE_LOCALE'] = locale
    else:
        environment.pop('SSO_WINE_LOCALE', None)
    done = subprocess.run([WINE_EXEC, *arguments], cwd=BIN, env=environment, capture_output=True,
                          timeout=PROGRAM_TIMEOUT, stdin=subprocess.DEVNULL)
    return done.returncode, done.stdout.decode('latin-1'), done.stderr.decode('latin-1')


@unittest.skipUnless(WINE_EXEC and BIN and SCENARIO, 'run by CTest, which names the build')
class BusyReader(unittest.TestCase):
    """A reader another program holds forever: the report is written within
    the card-number step's limit, and the program's exit does not wait for
    the reader."""

    def setUp(self):
        self.addCleanup(run, 'simenv.exe', 'reset')
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def test_report_ends_within_six_seconds_of_start(self):
        # The reference is the same report on a machine without the busy
        # reader: Wine's start and the other checks take what they take
        # there; the busy reader may add no more than the card-number limit.
        path = os.path.join(self.dir.name, 'busy.txt')
        free = os.path.join(self.dir.name, 'free.txt')
        run('simenv.exe', 'apply', windows_path(SCENARIO))
        started = time.monotonic()
        run('sso.exe', '--report=' + windows_path(free))
        reference = time.monotonic() - started
        run('simenv.exe', 'apply', windows_path(os.path.join(os.path.dirname(SCENARIO), 'busy-reader.txt')))
        started = time.monotonic()
        code, _, error = run('sso.exe', '--report=' + windows_path(path))
        took = time.monotonic() - started - reference
        self.assertEqual(0, code, error)
        self.assertLess(took, 5.5)
        with open(path, 'rb') as f:
            report = f.read()
        self.assertIn('\n        TP03000000001234\n'.encode('cp950'), report, 'the free reader was read')
        self.assertTrue(report.endswith(EXPECTED_DEFAULT_REPORT[-60:]), 'the report went on to its end')


@unittest.skipUnless(WINE_EXEC and BIN, 'run by CTest, which names the build')
class ClipboardUnderCodePages(unittest.TestCase):
    """The copy command's test in-process, under each code page: the
    clipboard must hold the same Unicode text on both."""

    def test_copy_holds_the_unicode_report_on_950_and_1252(self):
        for locale, code_page in ((None, '950'), ('C', '1252')):
            code, printed, _ = run('print_code_page.exe', locale=locale)
            self.assertEqual((0, code_page), (code, printed.strip()), 'the locale did not reach Wine')
            code, printed, _ = run('app_tests.exe', '--gtest_filter=ReportExportTest.Copy*', locale=locale)
            self.assertEqual(0, code, printed)
            self.assertIn('[  PASSED  ] 1 test', printed)


@unittest.skipUnless(WINE_EXEC and BIN and SCENARIO, 'run by CTest, which names the build')
class ReportFileMode(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        code, _, error = run('simenv.exe', 'apply', windows_path(SCENARIO))
        if code != 0:
            raise RuntimeError('cannot apply the default scenario: ' + error)

    @classmethod
    def tearDownClass(cls):
        run('simenv.exe', 'reset')

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.reports = os.path.join(self.dir.name, 'My Reports')
        os.mkdir(self.reports)

    def report_under(self, locale, code_page):
        code, printed, _ = run('print_code_page.exe', locale=locale)
        self.assertEqual((0, code_page), (code, printed.strip()), 'the locale did not reach Wine')
        path = os.path.join(self.reports, 'r.txt')
        # Wine quotes an argument with a blank as a whole: "--report=Z:\...\My Reports\r.txt".
        code, _, error = run('sso.exe', '--report=' + windows_path(path), locale=locale)
        self.assertEqual(0, code, error)
        with open(path, 'rb') as f:
            return f.read()

    def test_report_is_the_same_big5_on_the_chinese_code_page(self):
        self.assertEqual(EXPECTED_DEFAULT_REPORT, self.report_under(None, '950'))

    def test_report_is_the_same_big5_on_a_western_code_page(self):
        self.assertEqual(EXPECTED_DEFAULT_REPORT, self.report_under('C', '1252'))

    def test_option_without_value_or_unknown_ends_at_once_with_an_error(self):
        for argument in ('--report', '--report=', '--raport=x.txt'):
            code, _, error = run('sso.exe', argument)
            self.assertEqual(2, code, argument)
            self.assertEqual(1, error.count('\n'), error)
            self.assertIn(argument, error)


if __name__ == '__main__':
    unittest.main()
