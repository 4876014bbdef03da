#!/usr/bin/env python3
"""Records fuzz seeds from rc7sim: drives it over its three links, takes the
frames it logs (--log-frames) and writes them as seed files.

usage: record_seeds.py BUILD_DIR   (writes tests/fuzz/seeds/*)
Uses 127.0.0.1:49153 and 127.0.0.2:49152: run it while no UDP test runs."""
import os, socket, struct, subprocess, sys, time, tty

HERE = os.path.dirname(os.path.abspath(__file__))

def crc16(data):
    crc = 0
    for b in data:
        crc ^= b << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc

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

def drive(build, extra):
    sim = subprocess.Popen([os.path.join(build, 'rc7sim'), '--log-frames', '--lifetime', '30'] + extra,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    paths = {}
    for line in sim.stdout:
        if line.strip() == 'ready':
            break
        key, value = line.split()
        paths[key] = value
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

def main():
    build = sys.argv[1]
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
    for name, items in seeds.items():
        folder = os.path.join(HERE, 'seeds', name)
        os.makedirs(folder, exist_ok=True)
        for i, data in enumerate(dict.fromkeys(items)):
            with open(os.path.join(folder, 'sim-%02d' % i), 'wb') as f:
                f.write(data)
        print(name, len(dict.fromkeys(items)))

main()
