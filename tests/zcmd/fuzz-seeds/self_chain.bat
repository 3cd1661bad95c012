@echo off
t V=x
:a
set V=%V%%V% a
