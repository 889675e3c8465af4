"""The tally of a test script's checks: each check prints ok or FAILED, and the script
ends with the counts and a status that fails if any check did."""

failures = 0
checks = 0


def check(what, condition):
    global failures, checks
    checks += 1
    print(("ok: " if condition else "FAILED: ") + what)
    if not condition:
        failures += 1


def summary():
    """Prints the counts and returns the script's exit status."""
    print("%d passed, %d failed" % (checks - failures, failures))
    return 1 if failures else 0
