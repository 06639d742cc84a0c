#!/bin/sh
# Cuts samples/sample.kss into the seed inputs of fuzz/corpus: 1 KiB pieces
# (cut anywhere, mid-frame too) of its first 8 KiB, where one frame of every
# kind stands, and four of the ordinary traffic after it. Each piece sits
# behind the header of vorlink-fuzz: option bits, count of chunk sizes, sizes.
set -eu
cd "$(dirname "$0")/.."
sample=samples/sample.kss
mkdir -p fuzz/corpus
rm -f fuzz/corpus/sample-*
piece=1024
i=0
for offset in 0 1 2 3 4 5 6 7 12 18 24 29; do
  case $((i % 4)) in
    0) header='\000\000' ;;                  # options off, one chunk
    1) header='\017\003\000\077\377' ;;      # all options, chunks 1, 64, 256
    2) header='\001\001\006' ;;              # time stamps, chunks of 7
    *) header='\006\002\020\200' ;;          # time frames and hexdump, 17 and 129
  esac
  { printf "$header"; tail -c +$((offset * piece + 1)) "$sample" | head -c "$piece"; } \
    > "fuzz/corpus/sample-$i"
  i=$((i + 1))
done

# Seeds of the capture loader and the pcap export: six 3000-byte pieces of the
# sample (time frames among them) behind two header bytes, slices of 4 and,
# for the loader, time stamps and decoding on.
mkdir -p fuzz/corpus-capture
rm -f fuzz/corpus-capture/sample-*
for i in 0 1 2 3 4 5; do
  { printf '\003\017'; tail -c +$((i * 3000 + 1)) "$sample" | head -c 3000; } \
    > "fuzz/corpus-capture/sample-$i"
done

# Seeds of the KISS server target: short programs (see the top of
# fuzz_kiss_server.cpp) with clients connecting, sending, reading and going,
# a stalling TNC and queues run to their limits.
mkdir -p fuzz/corpus-kiss-server
rm -f fuzz/corpus-kiss-server/seed-*
ks() { printf "$2" > "fuzz/corpus-kiss-server/seed-$1"; }
# Two clients hear frames and read them in pieces; one transmits.
ks 0 '\003\003\017\000\000\011\001\003\000\000\040\004\001\000\007\005\000\005\004\000\200\011\006\001\002\001\030\300\000\202\204\206\100\100\100\140\260\262\264\100\100\100\157\003\360\101\300\001\000'
# A crowd past the most clients, one that never reads, and the budget spent.
ks 1 '\001\000\001\000\000\000\000\004\004\114\001\004\004\114\002\004\004\114\003\005\000\003\004\004\114\004\001\001\000\000'
# A transmitting client floods a TNC that stalls, then drains, then closes.
ks 2 '\007\017\377\000\011\001\012\002\007\000\003\000\000\200\003\000\000\200\003\000\000\200\010\040\007\005\003\000\020\100\007\004\003\000\000\100'
# Malformed and parameter frames, escapes cut across sends, a goodbye.
ks 3 '\002\002\002\000\011\001\002\000\005\300\000\333\101\300\002\000\004\300\001\062\300\002\000\003\300\000\333\002\000\022\334\202\204\206\100\100\100\140\260\262\264\100\100\100\157\003\360\300\001\000\000'

# Seeds of the frame store target: small limits (see the top of
# fuzz_frame_store.cpp), then appends of short, largest and too long frames,
# a clear and reads back.
mkdir -p fuzz/corpus-frame-store
rm -f fuzz/corpus-frame-store/seed-*
fs() { printf "$2" > "fuzz/corpus-frame-store/seed-$1"; }
small='\000\020\000\101\001\003\000\017\010\020\020\003\000\001'
largest='\000\004\115\002\120\170\004\377\017\001\002'
too_long='\000\004\213\003\000\000\003\017\000\000'
# Four frames per chunk, eight in all: the oldest chunk goes.
fs 0 "\007\003\000\000$small$small$small$small$largest$small$small$small$small$small\002\003\000\020"
# One frame per chunk and little memory: every append drops the last.
fs 1 "\377\000\000\001$largest$too_long$small$largest\002"
# A clear between appends; numbering goes on.
fs 2 "\017\007\040\040$small$largest\001$small$too_long\002\003\000\001"
# Frames as the display hands them on, before and after 1970.
fs 3 "\037\003\000\010\004\000\040\001\002\003\010\017\000\105\002\005\013\027\073\073\003\347\004\000\200\002\000\000\030\004\000\220\001\033\000\000\000\000\000\000\002"
