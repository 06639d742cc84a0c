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
