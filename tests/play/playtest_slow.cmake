# Included by ctest once play_tests' tests are known: the autopilot's replay runs the
# game three times over and carries the label "slow".
set_tests_properties(PlaytestReplay.AutopilotRunReplaysFromItsScriptWithEveryEffect PROPERTIES LABELS slow)
