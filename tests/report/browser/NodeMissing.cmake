message(FATAL_ERROR "report_browser: node was not found when the build was configured; "
                    "install nodejs, npm and chromium, run \"npm ci\" in tests/report/browser "
                    "and configure again")
