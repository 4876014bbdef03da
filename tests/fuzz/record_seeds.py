#!/usr/bin/env python3
"""Records fuzz seeds from rc7sim: drives it over its three links, takes the
frames it logs (--log-frames) and writes them as seed files; has the program
download and save short traces of each firmware variant (with the simulator's
backtrace file of the same memory); assembles the shipped example macro; and
takes the Ethernet block the simulator holds.

usage: record_seeds.py BUILD_DIR [SEEDS...]   (writes tests/fuzz/seeds/SEEDS, or all)
The frame seeds use 127.0.0.1:49153 and 127.0.0.2:49152: record them while
no UDP test runs. BUILD_DIR is a normal build (the program and the tools).
The Ethernet block is the simulator's default one, taken from its source."""
import os, re, shutil, socket, struct, subprocess, sys, tempfile, time, tty

HERE = os.path.dirname(os.path.abspath(__file__))

def crc_msb_first(data, poly, bits):
    """A CRC of `bits` bits over `data`, most significant bit first, from 0."""
    top, mask = 1 << (bits - 1), (1 << bits) - 1
    crc = 0
    for b in data:
        crc ^= b << (bits - 8)
        for _ in range(8):
            crc = ((crc << 1) ^ poly) & mask if crc & top else (crc << 1) & mask
    return crc

def crc16(data):
    """The telegram's CRC: polynomial 0x1021."""
    return crc_msb_first(data, 0x1021, 16)

def payload(cmd, index, sub, data=0):
    return struct.pack('<BHBI', cmd, index, sub, data)

def frame(p):
    x = 0
    for b in p:
        x ^= b
    return p + bytes([x])

def telegram(p):
    t = b'ZECAN' + struct.pack('<H', 18) + struct.pack('<II', 0x7F000001, 0x7F000002) + bytes([1, 1, 0, 8])
    t += struct.pack('<H', 0x60F) + p
    return t + struct.pack('<H', crc16(t))

REQUESTS = [payload(0x40, 0x2004, 0), payload(0x40, 0x2002, 0), payload(0x2B, 0x2000, 0, 0x123),
            payload(0x40, 0x5555, 0), payload(0x23, 0x2004, 0, 1), payload(0x2B, 0x2000, 0, 0x1001),
            payload(0x40, 0x2119, 0), payload(0x40, 0x2106, 0)]

def start_sim(build, extra):
    """rc7sim with `extra`; its process and the paths it names."""
    sim = subprocess.Popen([os.path.join(build, 'rc7sim'), '--lifetime', '30'] + extra,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    paths = {}
    for line in sim.stdout:
        if line.strip() == 'ready':
            break
        key, value = line.split()
        paths[key] = value
    return sim, paths

def drive(build, extra):
    sim, paths = start_sim(build, ['--log-frames'] + extra)
    fds = {}
    for key in ('pty1', 'pty4'):
        fds[key] = os.open(paths[key], os.O_RDWR | os.O_NOCTTY)
        tty.setraw(fds[key])
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(('127.0.0.1', 49153))
    for p in REQUESTS:
        os.write(fds['pty1'], frame(p))
        os.write(fds['pty4'], telegram(p))
        udp.sendto(telegram(p), ('127.0.0.2', 49152))
        time.sleep(0.05)
    time.sleep(0.3)
    sim.terminate()
    _, err = sim.communicate()
    udp.close()
    for fd in fds.values():
        os.close(fd)
    return [line.split() for line in err.splitlines() if line.startswith('tx')]

def lzw_expand(stream):
    """The text of a .loz stream: 12-bit codes, most significant bit first."""
    codes = []
    bits = int.from_bytes(stream, 'big')
    for i in range(len(stream) * 8 // 12):
        codes.append((bits >> (len(stream) * 8 - 12 * (i + 1))) & 0xFFF)
    table = {c: bytes([c]) for c in range(256)}
    out, prev, free = b'', None, 256
    for code in codes:
        if code == 4095:
            break
        entry = table[code] if code in table else table[prev] + table[prev][:1]
        out += entry
        if prev is not None and free < 4095:
            table[free] = table[prev] + entry[:1]
            free += 1
        prev = code
    return out

def trace_seeds(build):
    """Kind byte (0 .log, 1 .loz, 2 .lo1, 3 .logzip, 4 .loz text) and file."""
    seeds = []
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    for variant in ('p0528', 'p0417', 'quill'):
        work = tempfile.mkdtemp()
        lo1 = os.path.join(work, 'sim.lo1')
        sim, paths = start_sim(build, ['--no-udp', '--no-pty4', '--variant', variant, '--scope', '12:8',
                                       '--scope-lo1', lo1])
        script = os.path.join(work, 's.pms')
        with open(script, 'w') as f:
            f.write('trace_path %s\ntrace_download\ntrace_save stroke\n' % work)
        run = subprocess.run([os.path.join(build, 'strokedesk'), '-batch', '-dc', 'com', '3', '-script', script],
                             env=dict(env, STROKEDESK_COM3=paths['pty1']), cwd=work,
                             capture_output=True, text=True, timeout=60)
        sim.terminate()
        sim.communicate()
        loz = re.search(r'Trace: Save (\S+\.loz)', run.stdout)
        if not loz:
            sys.exit('%s: no trace saved:\n%s' % (variant, run.stdout))
        loz = loz.group(1)
        subprocess.run([os.path.join(build, 'strokedesk-trace'), 'convert', '--to', 'log', loz], check=True)
        read = lambda path: open(path, 'rb').read()
        stream = read(loz)
        seeds += [b'\0' + read(loz[:-4] + '.log'), b'\1' + stream, b'\3' + stream, b'\4' + lzw_expand(stream)]
        if os.path.exists(lo1):
            seeds.append(b'\2' + read(lo1))
        shutil.rmtree(work)
    return seeds

def crc32(data):
    """The image header's CRC: polynomial 0x04C11DB7."""
    return crc_msb_first(data, 0x04C11DB7, 32)

def macro_image_seed():
    """The example macro assembled and given its header (size, CRC) as the program does it."""
    work = tempfile.mkdtemp()
    for name in ('example.mac', 'norl_mac.inc'):
        shutil.copy(os.path.join(HERE, '..', '..', 'resources', name), work)
    subprocess.run(['nasm', '-f', 'bin', 'example.mac', '-o', 'example.mbi'], cwd=work, check=True)
    image = open(os.path.join(work, 'example.mbi'), 'rb').read()
    shutil.rmtree(work)
    image = image[:4] + struct.pack('<I', len(image)) + image[8:]
    return struct.pack('<I', crc32(image[4:])) + image[4:]

def eth_seeds():
    """The simulator's block as it reads it out, and with each check word spoilt."""
    source = open(os.path.join(HERE, '..', '..', 'sim', 'SimMemory.cpp')).read()
    ip, low, high = (int(v, 16) for v in
                     re.search(r'ip = (0x[0-9A-F]+), low = (0x[0-9A-F]+), high = (0x[0-9A-F]+)', source).groups())
    words = [ip, ~ip & 0xFFFFFFFF, low, high, ~(low ^ high) & 0xFFFFFFFF]
    block = lambda w: struct.pack('<5I', *w)
    return [block(words), block(words[:1] + [words[1] ^ 1] + words[2:]), block(words[:4] + [words[4] ^ 1])]

def macro_source_seeds():
    """The shipped sources, and the example with CR LF line ends."""
    read = lambda name: open(os.path.join(HERE, '..', '..', 'resources', name), 'rb').read()
    example = read('example.mac')
    return [example, read('norl_mac.inc'), example.replace(b'\n', b'\r\n')]

def write_seeds(name, items):
    folder = os.path.join(HERE, 'seeds', name)
    os.makedirs(folder, exist_ok=True)
    for i, data in enumerate(dict.fromkeys(items)):
        with open(os.path.join(folder, 'sim-%02d' % i), 'wb') as f:
            f.write(data)
    print(name, len(dict.fromkeys(items)))

def frame_seeds(build):
    seeds = {name: [] for name in ('serial_frame', 'serial_block', 'sdo_telegram', 'block_telegram')}
    for extra in ([], ['--corrupt', 'every:3', '--wrong-sender', 'every:4', '--stray-bytes', 'every:5']):
        for fields in drive(build, extra):
            data = bytes(int(b, 16) for b in fields[1:])
            if fields[0] == 'tx1':
                if len(data) == 9 or len(data) == 3:
                    seeds['serial_frame'].append(data)
                else:
                    seeds['serial_block'].append(struct.pack('<H', len(data) - 2) + data)
            elif len(data) == 31:
                seeds['sdo_telegram'].append(data)
            elif len(data) > 31:
                seeds['block_telegram'].append(struct.pack('<H', len(data) - 20) + data)
    # Frames back to back, as a line carries them.
    seeds['serial_frame'].append(b''.join(seeds['serial_frame'][:6]))
    return seeds

def main():
    build, wanted = sys.argv[1], set(sys.argv[2:])
    seeds = {}
    if not wanted or wanted & {'serial_frame', 'serial_block', 'sdo_telegram', 'block_telegram'}:
        seeds.update(frame_seeds(build))
    makers = {'trace_file': lambda: trace_seeds(build), 'macro_image': lambda: [macro_image_seed()],
              'eth_config': eth_seeds, 'macro_source': macro_source_seeds}
    for name, make in makers.items():
        if not wanted or name in wanted:
            seeds[name] = make()
    for name, items in seeds.items():
        if not wanted or name in wanted:
            write_seeds(name, items)

main()
