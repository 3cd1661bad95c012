@echo off
set V=x
:a
set V=%V%%V%
goto a
