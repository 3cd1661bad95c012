@echo off
title iPod Touch Files Backup version: 1.0.5 Beta
Color F2
Cls
: start
rmdir /S /Q mobile\Library\Lockdown
set IP=10.0.0.2
set PASS="a b&\"c%%d^^^"
pscp  -r -pw %PASS% root@%IP%:/var/mobile .
plink -ssh %IP% -l root -pw %PASS% -m move.sh
taskkill.exe >NUL /F /IM Zorvane.exe
start Zorvane.exe
start BackupComplete.exe
exit
