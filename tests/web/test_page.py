# The browser page in headless Chromium, against the command-line program on the same data: the page
# runs the program's own code compiled to WebAssembly, so the classic results must be the same bytes
# and the life-data numbers the same to 1e-12 relative. Run by scripts/test-web, which builds both.
#
# WebAssembly has no fused multiply-add, and its C library's pow is the same code as glibc's without
# it; glibc on a processor with FMA picks a variant of pow built with it, which differs in the last
# bit for some arguments (pow(86.16, 1.24): 0x406f61f2c5c7e683 with FMA, ...e684 without; the correct
# rounding, by mpmath at 200 bits, is ...e683). exp and log agree. A one-bit difference in the sums can
# steer the classic iteration to another last step, so the command line is run here with glibc's
# non-FMA variants, which is what it computes on a processor without FMA.
import json
import math
import os
import pathlib
import subprocess

import pytest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

ROOT = pathlib.Path(__file__).resolve().parents[2]
PAGE = pathlib.Path(os.environ.get('VARNEL_PAGE', ROOT / 'build-web' / 'varnel.html')).resolve()
PROGRAM = pathlib.Path(os.environ.get('VARNEL_PROGRAM', ROOT / 'build' / 'varnel')).resolve()
NO_FMA = dict(os.environ, GLIBC_TUNABLES='glibc.cpu.hwcaps=-FMA,-AVX2')
EXAMPLES = sorted(p for p in (ROOT / 'examples').glob('*.dat') if p.name != 'long_iteration.dat')
STRESS_EXAMPLES = ('motorette_insulation.dat',)


@pytest.fixture(scope='module')
def browser():
    options = webdriver.ChromeOptions()
    for argument in ('--headless', '--no-sandbox', '--disable-gpu', '--window-size=1400,1000'):
        options.add_argument(argument)
    options.binary_location = '/usr/bin/chromium'
    # Selenium starts this chromedriver and stops it again on quit.
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.get(PAGE.as_uri())
    wait_idle(driver)
    yield driver
    driver.quit()


def wait_idle(driver, seconds=120):
    WebDriverWait(driver, seconds).until(lambda d: d.execute_script('return document.body.dataset.state') == 'idle')


def paste(driver, text):
    driver.execute_script("""
        const data = document.getElementById('data');
        data.value = '';
        const transfer = new DataTransfer();
        transfer.setData('text/plain', arguments[0]);
        data.dispatchEvent(new ClipboardEvent('paste', {clipboardData: transfer, bubbles: true, cancelable: true}));
    """, text)


def set_controls(driver, method, values=None):
    driver.execute_script("""
        document.getElementById('method').value = arguments[0];
        document.getElementById('method').dispatchEvent(new Event('change'));
        for (const control of document.querySelectorAll('[data-option]')) {
            if (control.type === 'checkbox') control.checked = false; else control.value = '';
        }
        for (const [id, value] of Object.entries(arguments[1])) {
            const control = document.getElementById(id);
            if (control.type === 'checkbox') control.checked = value !== ''; else control.value = value;
        }
    """, method, values or {})


def run_page(driver, method, values=None, seconds=120):
    set_controls(driver, method, values)
    driver.find_element(By.ID, 'run').click()
    wait_idle(driver, seconds)
    return {name: driver.find_element(By.ID, name).get_attribute('textContent')
            for name in ('json', 'error', 'command', 'results', 'progress')}


def download(driver, link):
    """The bytes behind a download link, as the browser would save them."""
    return bytes(driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const href = document.getElementById(arguments[0]).href;
        if (!href) { done(null); return; }
        fetch(href).then(r => r.arrayBuffer()).then(b => done(Array.from(new Uint8Array(b))));
    """, link) or [])


def native(tmp_path, text, words, outputs=(), env=None):
    """The command line on the same data, saved under the page's name for pasted text."""
    (tmp_path / 'pasted data').write_text(text)
    done = subprocess.run([str(PROGRAM)] + words + ['pasted data'], cwd=tmp_path, capture_output=True, text=True,
                          env=env)
    return done, {name: (tmp_path / name).read_bytes() for name in outputs if (tmp_path / name).exists()}


def numbers_close(page, command_line, where='$'):
    """Every number of two JSON documents agrees to 1e-12 relative; everything else is equal."""
    if isinstance(command_line, dict):
        assert page.keys() == command_line.keys(), where
        for key in command_line:
            numbers_close(page[key], command_line[key], f'{where}.{key}')
    elif isinstance(command_line, list):
        assert len(page) == len(command_line), where
        for i, (a, b) in enumerate(zip(page, command_line)):
            numbers_close(a, b, f'{where}[{i}]')
    elif isinstance(command_line, float) or isinstance(page, float):
        assert math.isclose(page, command_line, rel_tol=1e-12, abs_tol=0), (where, page, command_line)
    else:
        assert page == command_line, where


@pytest.mark.parametrize('example', EXAMPLES, ids=lambda p: p.name)
def test_classic_is_the_command_lines_to_the_byte(browser, tmp_path, example):
    text = example.read_text()
    paste(browser, text)
    shown = run_page(browser, 'classic', {'rank': '3'})
    done, files = native(tmp_path, text, ['--rank', '3', '--json', '--plot', 'varnel-plot.svg', '--report',
                                          'varnel-report.txt'], ['varnel-plot.svg', 'varnel-report.txt'], NO_FMA)
    assert shown['json'] == done.stdout
    assert shown['command'] == ("varnel --rank 3 --json --plot varnel-plot.svg --report varnel-report.txt "
                                "'pasted data'")
    assert download(browser, 'download-json').decode() == done.stdout
    assert download(browser, 'download-report') == files['varnel-report.txt']
    assert b'\r\n' in files['varnel-report.txt']
    assert download(browser, 'download-svg') == files['varnel-plot.svg']
    # The seven results shown are the document's numbers, the same doubles.
    results = json.loads(done.stdout)['results']
    for name, value in results.items():
        row = browser.find_element(By.XPATH, f"//div[@id='results']//tr[td[1]='{name}']/td[2]").text
        assert float(row) == value, name


@pytest.mark.parametrize('example', EXAMPLES, ids=lambda p: p.name)
def test_life_data_agrees_with_the_command_line(browser, tmp_path, example):
    text = example.read_text()
    paste(browser, text)
    values = {'confidence': '0.9', 'blife': '10 50', 'at': '20'}
    words = ['--life', '--confidence', '0.9', '--b-life', '10', '--b-life', '50', '--at', '20']
    # Data with a stress column is read only with a stress model.
    if example.name in STRESS_EXAMPLES:
        values.update({'stress': 'arrhenius', 'celsius': 'on', 'usestress': '130'})
        words += ['--stress', 'arrhenius', '--celsius', '--use-stress', '130']
    shown = run_page(browser, 'life', values)
    done, files = native(tmp_path, text, words + ['--json', '--plot', 'varnel-plot.svg'], ['varnel-plot.svg'])
    assert shown['command'] == 'varnel ' + ' '.join(words) + " --json --plot varnel-plot.svg 'pasted data'"
    numbers_close(json.loads(shown['json']), json.loads(done.stdout))
    assert shown['error'] == (done.stderr.rstrip('\n') if done.returncode else '')
    tables, _ = native(tmp_path, text, words)
    assert browser.find_element(By.ID, 'tables').get_attribute('textContent') == tables.stdout


# The life-data reader names the line; the classic one reads any leading number and fails only when
# fewer than three values are left.
@pytest.mark.parametrize('method, text', [('life', '12\n15\n1O\n20\n'), ('life', '12\n15\n-3\n20\n'),
                                          ('classic', '12\n# two values only\n15\n')])
def test_a_malformed_file_gives_the_command_lines_error(browser, tmp_path, method, text):
    paste(browser, text)
    shown = run_page(browser, method)
    done, _ = native(tmp_path, text, (['--life'] if method == 'life' else []) + ['--json'])
    assert done.returncode == 1
    assert shown['error'] == done.stderr.rstrip('\n') != ''
    assert shown['json'] == done.stdout


def test_stop_ends_a_long_classic_run_with_the_m_reached(browser):
    paste(browser, (ROOT / 'examples' / 'long_iteration.dat').read_text())
    set_controls(browser, 'classic', {'initialm': '3', 'gamma': '0'})
    browser.find_element(By.ID, 'run').click()
    WebDriverWait(browser, 60).until(lambda d: d.find_element(By.ID, 'progress').text.startswith('m ='))
    browser.find_element(By.ID, 'stop').click()
    wait_idle(browser, 30)
    document = json.loads(browser.find_element(By.ID, 'json').get_attribute('textContent'))
    assert document['stopped'] is True and document['ending'] == 'stopped'
    assert 0.6 < document['results']['m'] < 3
    assert browser.find_element(By.ID, 'error').text == ''
    assert 'the iteration was stopped' in browser.find_element(By.ID, 'notes').text


def test_big_and_bad_pastes_give_a_message_not_a_frozen_page(browser, tmp_path):
    # A million lines: held for the worker, summarised, and analysed.
    browser.execute_script("""
        const lines = [];
        for (let i = 0; i < 1000000; ++i) lines.push(String(i % 997 + 1));
        window.bigText = lines.join('\\n') + '\\n';
    """)
    browser.execute_script("""
        const transfer = new DataTransfer();
        transfer.setData('text/plain', window.bigText);
        document.getElementById('data').dispatchEvent(new ClipboardEvent('paste', {clipboardData: transfer, cancelable: true}));
    """)
    data = browser.find_element(By.ID, 'data')
    assert data.get_attribute('value') == ''
    assert '1,000,000 lines' in data.get_attribute('placeholder')
    shown = run_page(browser, 'life', {'twoparameter': 'on'}, seconds=240)
    assert shown['error'] == ''
    assert json.loads(shown['json'])['data']['units'] == 1000000

    # Ten megabytes of garbage: words on a line are a comment to the reader, so nothing is left.
    browser.execute_script("""
        const transfer = new DataTransfer();
        transfer.setData('text/plain', 'garbage '.repeat(1310720));
        document.getElementById('data').dispatchEvent(new ClipboardEvent('paste', {clipboardData: transfer, cancelable: true}));
    """)
    shown = run_page(browser, 'life')
    assert shown['error'] == 'varnel: no failures: the Weibull parameters cannot be estimated'

    # Nothing at all: the command line's message about an empty file.
    paste(browser, '')
    browser.execute_script("document.getElementById('data').dispatchEvent(new Event('input'))")
    shown = run_page(browser, 'classic')
    done, _ = native(tmp_path, '', [])
    assert shown['error'] == done.stderr.rstrip('\n') != ''


def test_screenshot_for_the_readme(browser):
    paste(browser, (ROOT / 'examples' / 'ball_bearings.dat').read_text())
    run_page(browser, 'life', {'blife': '10', 'at': '50'})
    browser.save_screenshot(str(ROOT / 'docs' / 'browser.png'))
