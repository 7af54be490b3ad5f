#!/bin/sh
# Started by the desktop when the installation CD is mounted (or by hand):
# the installer from the CD's root, in its install-from-CD mode, which takes
# the folder it runs from as the source.
cd "$(dirname "$0")" && exec ./setup -C
