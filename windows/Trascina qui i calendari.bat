@echo off
rem The calendars dropped on this file reach it as its arguments: gironario asks only the format
rem and writes the result beside the first of them. The pause keeps the window open to read it.
if "%~1"=="" (
  echo Trascina su questo file i calendari da unire: gironario chiede il formato e scrive
  echo il risultato nella cartella del primo calendario.
  pause
  exit /b 1
)
"%~dp0gironario.exe" %*
pause
