# Included by ctest once online_tests' tests are known: the whole loop plays a game
# twice (the autopilot, then vorlane-play) and carries the label "slow".
set_tests_properties(WholeLoop.AGamePlayedWithServerSendsTheNameToTheTable PROPERTIES LABELS slow)
