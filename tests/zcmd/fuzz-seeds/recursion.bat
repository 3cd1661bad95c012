@echo off
:a
call :a
