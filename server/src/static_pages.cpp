#include "static_pages.h"

#include "html_text.h"

const char content_security_policy[] =
    "default-src 'none'; img-src 'self'; style-src 'self'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";

std::string page_frame(std::string_view title, std::string_view body_html) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  page += html_escape(title);
  page +=
      "</title>\n<link rel=\"stylesheet\" href=\"/app/style.css\">\n</head>\n<body>\n"
      "<header><a class=\"brand\" href=\"/app/homepage\">FOLVI Vezad</a>"
      "<nav><a href=\"/app/homepage\">Home</a><a href=\"/app/methodology\">Testing methodology</a></nav>"
      "</header>\n<main>\n";
  page += body_html;
  page += "\n</main>\n<footer>FOLVI Vezad &middot; Cold-cache Sequential I/O Benchmark</footer>\n</body>\n</html>\n";
  return page;
}

std::string not_found_html() {
  return page_frame("Not found",
                    "<h1>Not found</h1>\n<p>There is nothing at this address. A share link that "
                    "worked before may have been mistyped; links are case-sensitive.</p>");
}

std::string error_html(int status, std::string_view reason) {
  std::string body = "<h1>" + std::to_string(status) + " " + html_escape(reason) + "</h1>";
  return page_frame(reason, body);
}

std::string homepage_html() {
  return page_frame("FOLVI Vezad \xE2\x80\x94 Cold-cache Sequential I/O Benchmark", R"html(
<h1>FOLVI Vezad</h1>
<p class="lead">A Windows disk benchmark that answers one question: <em>which way of reading and
writing a large file is fastest on this device when the file is not already in memory?</em></p>

<h2>What it measures</h2>
<p>Programs that copy, back up or stream big files choose, often without thinking about it, how
large their I/O buffers are, how many requests they keep in flight at once, and whether they go
through the Windows file cache. The best choice differs from an NVMe drive to a USB stick to a
network share, and the difference can be several times the throughput. FOLVI Vezad tries the
combinations of one test profile on the device you pick and names the fastest read strategy and
the fastest write strategy, with every measurement behind them.</p>

<h2>How a run goes</h2>
<ol>
<li>Pick a test location: a drive, a folder or a network share. The window shows what lies
underneath: file system, volume, device, controller and host operating system.</li>
<li>Pick a profile (<strong>Quick</strong>, <strong>Standard</strong>, <strong>Extended</strong>) or
edit a <strong>Custom</strong> one, and press Start.</li>
<li>The program creates a scratch file, <code>~folvi-benchmark.tmp</code>, runs every read
test and then every write test on it, and deletes it at the end.</li>
<li>Results appear as they arrive, as a list and as two bar graphs. At the end the best read
and write rates are named with the combination that reached them, and a plain-text report is
ready to view, save or share.</li>
</ol>
<p>The <a href="/app/methodology">testing methodology</a> explains what each test does and how
to read the report.</p>

<h2>Why it needs administrator rights</h2>
<p>Two things need an elevated process: preallocating the test file quickly, and emptying the
Windows standby list (the file cache) between tests, which is what makes every test start
cold. The program asks for elevation when it starts.</p>

<h2>Sharing results</h2>
<p>There are two ways to share, and both are your choice:</p>
<ul>
<li><strong>Share screenshot</strong> (from the screengrab button after a run) uploads a picture
of the window, the two result graphs and the report, and gives back a link to a page like the
ones on this site. Anyone with the link can see that page; the link is 128 random bits, so
nobody finds it without being given it. The volume serial number is masked in the
screenshot.</li>
<li>When you close the program after a complete run it may ask whether the reports of this
session can be sent to the project. Those reports are not published; they help us learn
whether the best strategy can be predicted from a device's type and a little host
information. If you decline, you are never asked again.</li>
</ul>
<p>A report holds the benchmark settings, the measurements, the operating system version, and
a description of the storage under the test location (file system, device vendor and model,
bus). It also holds the test folder's path and an MD5 digest of the machine's installation
GUID, which tells two reports of the same machine apart without identifying it. Apart from
what the test folder's path may show, no user or machine name is collected. Uploads also carry the storage-scan log, which the project keeps
and does not publish. The server records when each upload arrived, the network address it came
from and the program version that sent it.</p>
)html");
}

std::string methodology_html() {
  return page_frame("Testing methodology \xE2\x80\x94 FOLVI Vezad", R"html(
<h1>Testing methodology</h1>

<h2>Cold cache</h2>
<p>Windows keeps recently read and written file data in memory (the <em>standby list</em>).
A second read of the same file can come from that memory at many gigabytes per second and say
nothing about the disk. Every FOLVI test is meant to start <em>cold</em>: before each test the
program empties the standby list, so the data has to come from the device itself. This is the
situation of a backup, a first copy of a large file, or a media file opened for the first
time.</p>
<p>The profile's cache setting controls this: purge before every test when the location is a
local device (the default), always purge, or leave the cache alone. A network share's data is
cached on the server too, which the client cannot empty; so by default shares are not purged,
and their results include whatever the server had cached. The cache is also purged once right
after the test file has been created, whatever the setting.</p>

<h2>What a strategy is</h2>
<p>One <em>strategy</em> (one test) is a combination of three things:</p>
<dl>
<dt>Buffer size</dt>
<dd>The size of each read or write request, from 1 KiB to 64 MiB.</dd>
<dt>Buffers in flight</dt>
<dd>How many requests are issued at once and kept outstanding. With 1 the program waits for
each request before issuing the next; with 16, sixteen requests are queued at the device all
the time. Deep queues help SSDs and arrays; they rarely help a single hard disk.</dd>
<dt>Open mode</dt>
<dd>How the file is opened. <strong>raw</strong> is unbuffered I/O (<code>FILE_FLAG_NO_BUFFERING</code>):
requests go straight to the device and the file cache is bypassed; sizes must be multiples of
the sector size. <strong>buf</strong> is ordinary cached I/O through the Windows cache manager,
which adds read-ahead and write-behind of its own. Each can be given a hint: <strong>seq</strong>
(<code>FILE_FLAG_SEQUENTIAL_SCAN</code>, more aggressive read-ahead) or <strong>rnd</strong>
(<code>FILE_FLAG_RANDOM_ACCESS</code>, little read-ahead). That makes six modes:
buf, buf seq, buf rnd, raw, raw seq, raw rnd.</dd>
</dl>
<p>A profile lists the buffer sizes, the buffer counts, and the modes to try for reading and
for writing; every size is combined with every count, except combinations whose total buffer
memory (size &times; count) is above the profile's memory cap.</p>

<table>
<thead><tr><th>Profile</th><th>Buffer sizes</th><th>Buffers in flight</th><th>Read modes</th><th>Write modes</th><th>Time per test</th><th>Tests (read + write)</th></tr></thead>
<tbody>
<tr><td>Quick</td><td>8K, 64K, 128K, 256K, 512K, 1M, 4M</td><td>1, 4, 8, 16, 32</td><td>raw, buf seq</td><td>raw, raw seq</td><td>250 ms</td><td>68 + 68</td></tr>
<tr><td>Standard</td><td>8K to 16M, every power of two</td><td>1, 2, 4, 8, 16</td><td>raw, raw seq, buf seq</td><td>raw, raw seq</td><td>1 s</td><td>171 + 114</td></tr>
<tr><td>Extended</td><td>1K to 64M, every power of two</td><td>1, 2, 4, 8, 12, 16, 24, 32</td><td>raw, raw seq, buf seq</td><td>raw, raw seq</td><td>1 s</td><td>375 + 250</td></tr>
</tbody>
</table>
<p>Quick and Standard cap buffer memory at 64 MiB, Extended at 256 MiB. The test file is
4 GiB, or less when writing it takes longer than ten times the time of one test.</p>

<h2>The test file</h2>
<p>Before the first test the program creates <code>~folvi-benchmark.tmp</code> in the test
location at full size, in 16 MiB unbuffered writes, filled with random data (or zeroes, or a
counting pattern, as the profile says), so that read tests read real data and write tests
overwrite space the file already owns. The file is deleted when the run ends, also when it is
cancelled or fails.</p>

<h2>One test</h2>
<p>A test opens the test file in its mode, prepares all its buffers, and then keeps the given
number of overlapped requests in flight, each one continuing where the previous one ended,
until the whole file has been covered or the test's time is up. Requests already in flight when
the time runs out are completed and counted. The clock runs from just before the first request
is issued to the completion of the last one, so opening the file and preparing buffers do not
count; the <strong>rate</strong> is the bytes transferred divided by that time. A request that
transfers less than asked, or a failing call, marks the test as failed; the run goes on with
the next test.</p>

<h2>Read phase, then write phase</h2>
<p>All read tests run first, then all write tests, each preceded by the cache purge. By default
the tests of a phase go through the sizes in order, for each size through the buffer counts,
and for each count through the modes; the profile can also order them by mode first, or
shuffle them. Write tests overwrite the file in place; they can be asked to flush the file's
buffers before it is closed, which makes cached writes pay for reaching the device.</p>
<p>A <em>Cancel</em> ends the phase that is running (the write phase still runs after a
cancelled read phase); <em>Ctrl+Cancel</em> ends the whole run.</p>

<h2>Units</h2>
<p>Rates are shown in MBps two ways side by side: binary (1K = 1024, so 1 MBps is 1,048,576 bytes
per second) and decimal (1K = 1000, 1 MBps is 1,000,000 bytes per second). Drive makers use the
decimal figure.</p>

<h2>The best-rate block</h2>
<p>When a run ends, the results list gets a block headed <strong>Best read rate:</strong> and
<strong>Best write rate:</strong>, each followed by the fastest test of its direction: its buffer
count and size, its mode, and its rate in both units. The graphs show the same best rate in large
digits. That pair of lines is the answer to the benchmark's question: the strategy a program
should use on this device for cold, large, sequential files.</p>

<h2>Reading the report</h2>
<p>The report is plain text, one <code>key  value</code> pair per line, easy to read and easy
to parse:</p>
<ul>
<li>A header with the program version, then <code>Recorded</code> (local time),
<code>Platform</code> (Windows name and version, 32 or 64 bit) and
<code>MD5(MachineGuid)</code> (an anonymous digest that tells machines apart).</li>
<li><code>Volume.*</code>, <code>Device.*</code> and <code>Share.*</code>: what lies under the test
location: file system and cluster size, volume type, device type, vendor, model, bus, USB speed
and controller, or the network protocol of a share.</li>
<li><code>Test.*</code>: the profile: location, file size, buffer sizes and counts, memory cap,
time per test, order, cache setting (<code>Test.cache_trim</code>: 1 never purge, 2 purge local
devices, 3 always), the read and write mode masks, the data pattern and the flush setting.</li>
<li>A summary per direction: <code>Read.tests</code> (tests recorded / planned),
<code>Read.tests.failed</code>, <code>Read.best.speed.binary</code> and
<code>Read.best.speed.decimal</code>, <code>Read.best.io</code> (the strategy of the best test,
written <em>count</em> x <em>size</em> bytes, <em>mode</em>), and <code>Read.99_perc</code> and
<code>Read.95_perc</code>: how many tests reached 99% and 95% of the best rate. Many tests near
the best mean the device is not picky; a single one means the choice matters. The same keys
follow for <code>Write</code>.</li>
<li>The measurements: one row per test, in the order they ran, with the row number, buffers in
flight x buffer size, mode, and the rate in binary and decimal MBps, then three marks. A
<strong>+</strong> means the test was at least as fast as every test before it in the list, so the
<strong>+</strong> rows trace how the rate climbs as buffers grow. The first <strong>*</strong>
means the test reached 95% of the best rate, the second 99%.</li>
</ul>
<p>A failed test is recorded with a rate of 0; the failing call appears in the results list of
the window and in the log.</p>

<h2 id="predictions">Predicting the best strategy</h2>
<p>The reports people share with the project are used to answer one question: can the best
strategy for a device be told from what kind of device it is and a little host information,
without running the benchmark? The answers, and how good they are, are on the
<a href="/app/predictions">predictions page</a>.</p>
<ul>
<li><strong>Observations.</strong> Every shared report is read when it arrives. All reports
from one machine (the same <code>MD5(MachineGuid)</code>) about one device count as a single
<em>observation</em>, with the median rate of each strategy over those reports. A hundred
uploads of the same disk weigh exactly as much as one.</li>
<li><strong>Efficiency.</strong> Within one observation each strategy gets an efficiency: its
rate divided by the best rate of that observation. A failed test counts as 0. Strategies the
observation's profile did not include, or that a cancelled run never reached, are not counted
for or against.</li>
<li><strong>The recommendation.</strong> For a device the server looks for the most specific
group of similar observations with at least five of them: the same vendor and model; else
the same device kind, bus and USB speed; else the same kind; else all observations. Among the
strategies that at least half of that group measured, it recommends the one with the highest
mean efficiency. The answer says how efficient that strategy was on average, in what share of
the group it came within 5% of the best, which group answered and how many observations it
has.</li>
<li><strong>Its honesty.</strong> Each observation in turn is left out, predicted from all the
others, and scored by the efficiency the predicted strategy reached in it. The median, the
10th percentile and the share within 5% of the best are shown beside two strategies a user
would otherwise pick: the one strategy that is best in the most observations, and the fixed
1 MiB &times; 8 cached strategy common benchmarks use.</li>
</ul>
<p>What keeps a few people from steering the answers: one vote per machine and device; each
observation's say is bounded, since an efficiency lies between 0 and 1 whatever rates it claims;
uploads per network address are limited in rate; and a report is only taken when it is
consistent with itself (its rows agree with its profile, its counts and its best rate, and
its numbers are in range). Reports that fail these checks are kept but skipped, and counted
on the predictions page. Machine digests can be made up, so this makes steering costly, not
impossible; the leave-one-out figures would show a model that stops predicting well.</p>
)html");
}

const char style_css[] = R"css(
:root { color-scheme: light; --accent: #1f5fa8; --muted: #5d6b7a; --line: #d8dee6; }
* { box-sizing: border-box; }
body { margin: 0; font: 16px/1.55 "Segoe UI", system-ui, sans-serif; color: #1c2430; background: #f5f7fa; }
header { display: flex; align-items: center; gap: 2em; padding: 0.8em 2em; background: #1c2430; }
header a { color: #e8eef5; text-decoration: none; }
header .brand { font-weight: 700; letter-spacing: 0.04em; }
header nav a { margin-right: 1.5em; color: #aab8c8; }
header nav a:hover { color: #fff; }
main { max-width: 64em; margin: 0 auto; padding: 1.5em 2em 3em; background: #fff; min-height: 70vh; }
footer { text-align: center; color: var(--muted); font-size: 0.85em; padding: 1.5em; }
h1 { font-size: 1.8em; margin: 0.3em 0 0.6em; }
h2 { font-size: 1.25em; margin: 1.6em 0 0.5em; color: var(--accent); }
p.lead { font-size: 1.1em; }
a { color: var(--accent); }
code { font-family: Consolas, "DejaVu Sans Mono", monospace; font-size: 0.92em; background: #eef2f6; padding: 0 0.2em; }
dt { font-weight: 600; margin-top: 0.6em; }
dd { margin-left: 1.5em; }
table { border-collapse: collapse; margin: 1em 0; font-size: 0.9em; }
th, td { border: 1px solid var(--line); padding: 0.35em 0.6em; text-align: left; vertical-align: top; }
th { background: #eef2f6; }
.meta { color: var(--muted); }
.best { display: flex; flex-wrap: wrap; gap: 1em; margin: 1em 0 1.5em; }
.best > div { flex: 1 1 16em; border: 1px solid var(--line); border-radius: 6px; padding: 0.7em 1em; }
.best .rate { font-size: 1.6em; font-weight: 700; color: var(--accent); }
.best .io { color: var(--muted); font-family: Consolas, "DejaVu Sans Mono", monospace; }
figure { margin: 1em 0; }
figure img { max-width: 100%; height: auto; border: 1px solid var(--line); }
figcaption { color: var(--muted); font-size: 0.9em; }
.graphs { display: flex; flex-wrap: wrap; gap: 1em; }
.graphs figure { flex: 1 1 20em; }
pre.report { font-family: Consolas, "DejaVu Sans Mono", monospace; font-size: 13px; line-height: 1.35;
  background: #1c2430; color: #e8eef5; padding: 1em; overflow-x: auto; border-radius: 6px; }
.notice { border-left: 4px solid #c98a1b; background: #fdf6e7; padding: 0.5em 1em; font-weight: 600; }
table.figures td, table.figures th { text-align: right; }
table.figures td:first-child, table.figures th:first-child { text-align: left; }
svg.chart { display: block; max-width: 100%; height: auto; margin: 1em 0; }
h3 { font-size: 1.05em; margin: 1.2em 0 0.4em; }
)css";
