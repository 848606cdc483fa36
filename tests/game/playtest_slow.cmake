# Included by ctest once game_tests' tests are known: the autopilot's whole-game runs
# take tens of seconds each and carry the label "slow" (`ctest -LE slow` leaves them out).
set_tests_properties(
  PlaytestLevel.AutopilotDrivesLevelsOneAndTwoToTheirFinishLines
  PlaytestGame.MenuToGameOverThenNameEntryHighScoresAndTheSavedTable
  ReplayRace.ARecordedRacePlaysBackFrameForFrameAndAChangedOneDoesNot
  ReplayVerify.ALeftRaceIsRecordedToLastAndVerifiesTheSameTwice
  ReplayVerify.AChangedOutcomeDivergesNamingTheField
  PROPERTIES LABELS slow)
