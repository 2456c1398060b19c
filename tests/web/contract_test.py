# SPDX-License-Identifier: MIT
"""Runs the back-end contract against the web back end in headless Chromium:
the contract's page served from 127.0.0.1, its output printed, its exit
code returned.

    contract_test.py CONTRACT_DIR"""

import sys

import cdp


def main():
    server = cdp.PageServer(sys.argv[1])
    browser = cdp.Browser(width=1024, height=768)
    try:
        browser.open(server.origin + "/index.html")
        # The exit code in a list, so that 0 counts as the end.
        code = browser.wait_for("window.contractExit === undefined ? null : [window.contractExit]",
                                "the contract's end", deadline=cdp.DEADLINE * 8)[0]
    finally:
        for event in browser.drain():
            if event["method"] == "Runtime.consoleAPICalled":
                print(" ".join(str(arg.get("value", "")) for arg in event["params"]["args"]))
            elif event["method"] == "Runtime.exceptionThrown":
                print("page error:", event["params"]["exceptionDetails"])
        browser.close()
        server.close()
    return code


if __name__ == "__main__":
    sys.exit(main())
