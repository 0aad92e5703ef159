@echo off
rem Makes calendario.ics, for a phone's calendar, from the two calendars beside this file.
cd /d "%~dp0"
gironario.exe -f i
pause
