# Sourced by the scripts that run the simulator's loop on the 1000-particle
# Coulomb scene, with $bin set: makes a private working folder holding the
# label font and scene.txt, enters it, and removes it on exit.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir data
"$bin/sjis-fontgen" sjis.fnt >/dev/null
"$bin/partivox-loop-bench" --write-scene scene.txt
