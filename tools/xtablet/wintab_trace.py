#!/usr/bin/env python3
"""wintab_trace.py <trace> [--packets]
Reads a WINEDEBUG=+wintab32 trace of one program (Wine 8's own wintab32 and
winex11 tablet code) and follows each context's packet queue: which packets
Wine queued, which the program read with WTPacket, and which left the queue
unread (WTPacketsGet, the older packets a WTPacket skips, overflow). Prints a
summary (with WINEDEBUG=+timestamp,+wintab32 also how long packets waited
until read); with --packets one line per packet:
  <serial> <queued|overflow> cursor=<c> buttons=<b> x=<x> y=<y> p=<p> -> read|dropped|skipped|queued
"""
import re
import sys

packet_re = re.compile(r'DUMPPACKET pkContext: (\S+) pkStatus: (\S+) pkTime : (\S+) pkChanged: (\S+) '
                       r'pkSerialNumber: (\S+) pkCursor : (\d+) pkButtons: (\S+) pkX: (-?\d+) pkY: (-?\d+) '
                       r'pkZ: (-?\d+) pkNormalPressure: (-?\d+)')
placed_re = re.compile(r'Placed in queue (\S+) index (\d+)')
get_re = re.compile(r'WTPacketsGet \((\S+), (\d+), (\S+)\)')
copied_re = re.compile(r'WTPacketsGet Copied (\d+) packets')
wtpacket_re = re.compile(r'WTPacket \((\S+), (\d+), (\S+)\)')
returning_re = re.compile(r'WTPacket Returning (\d+)')
time_re = re.compile(r'^(\d+\.\d+):')


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    queues = {}   # context -> serials queued, oldest first
    packets = {}  # serial -> record
    order = []
    last = None   # the packet dumped last, until placed or lost
    call = None   # ('get', context, count) or ('packet', context, serial)
    proximity = 0
    failed_reads = 0
    at_proximity = False  # the next packet dumped is a proximity event's
    waits = []
    for line in open(sys.argv[1], errors='replace'):
        m = time_re.match(line)
        now = float(m.group(1)) if m else None
        if 'proximity_event' in line:
            proximity += 1
            at_proximity = True
        m = packet_re.search(line)
        if m:
            ctx, status, time, changed, serial, cursor, buttons, x, y, z, p = m.groups()
            last = {'serial': int(serial, 16), 'context': ctx, 'cursor': int(cursor), 'buttons': buttons,
                    'x': int(x), 'y': int(y), 'p': int(p), 'time': time, 'status': status,
                    'proximity': at_proximity, 'fate': 'queued', 'at': now}
            at_proximity = False
            continue
        if last and placed_re.search(line):
            queues.setdefault(last['context'], []).append(last['serial'])
            packets[last['serial']] = last
            order.append(last)
            last = None
        elif last and 'Queue Overflow' in line:
            last['fate'] = 'overflow'
            order.append(last)
            last = None
        m = get_re.search(line)
        if m:
            call = ('get', m.group(1), int(m.group(2)))
        m = copied_re.search(line)
        if m and call and call[0] == 'get':
            queue = queues.get(call[1], [])
            for serial in queue[:int(m.group(1))]:
                packets[serial]['fate'] = 'dropped'
            del queue[:int(m.group(1))]
            call = None
        m = wtpacket_re.search(line)
        if m:
            call = ('packet', m.group(1), int(m.group(2)))
        m = returning_re.search(line)
        if m and call and call[0] == 'packet':
            queue = queues.get(call[1], [])
            n = int(m.group(1))
            if n == 0:
                failed_reads += 1
            else:
                for serial in queue[:n - 1]:
                    packets[serial]['fate'] = 'skipped'
                packets[queue[n - 1]]['fate'] = 'read'
                if now is not None and packets[queue[n - 1]]['at'] is not None:
                    waits.append(now - packets[queue[n - 1]]['at'])
                del queue[:n]
            call = None
    if '--packets' in sys.argv:
        for r in order:
            print('%d %s cursor=%d buttons=%s x=%d y=%d p=%d%s -> %s' % (
                r['serial'], 'overflow' if r['fate'] == 'overflow' else 'queued', r['cursor'], r['buttons'],
                r['x'], r['y'], r['p'], ' (proximity)' if r['proximity'] else '', r['fate']))
    fates = {}
    for r in order:
        fates[r['fate']] = fates.get(r['fate'], 0) + 1
    print('packets queued %d (of them at proximity %d), read %d, dropped by WTPacketsGet %d, skipped by WTPacket %d, '
          'lost to overflow %d, still queued %d; WTPacket failures %d' % (
              len(order) - fates.get('overflow', 0), sum(1 for r in order if r['proximity']), fates.get('read', 0),
              fates.get('dropped', 0), fates.get('skipped', 0), fates.get('overflow', 0), fates.get('queued', 0),
              failed_reads))
    if waits:
        waits.sort()
        print('queued to read: mean %.1f ms, median %.1f ms, worst %.1f ms' % (
            1000 * sum(waits) / len(waits), 1000 * waits[len(waits) // 2], 1000 * waits[-1]))


if __name__ == '__main__':
    main()
