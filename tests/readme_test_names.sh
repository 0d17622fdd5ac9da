#!/bin/bash
# The READMEs back each promised behaviour with the tests that check it. A test
# renamed without its README leaves that promise unbacked, so every Suite.Name
# a README quotes must still be defined in tests/.
root=$1
status=0
readmes=$(find "$root" -name README.md -not -path "$root/build*" -not -path "$root/run/*")
for name in $(grep -hoE '`[A-Z][A-Za-z0-9]+\.[A-Z][A-Za-z0-9]+`' $readmes | tr -d '`' | sort -u); do
    suite=${name%%.*}
    test=${name#*.}
    if ! grep -qrE "TEST(_F|_P)?\($suite, *$test\)" "$root/tests"; then
        echo "a README names $name, which no test defines"
        status=1
    fi
done
exit $status
