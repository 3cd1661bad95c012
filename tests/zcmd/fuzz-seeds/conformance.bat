@echo off
if 1==1 if 2==2 if 3==3 (echo a1) else (echo a2) else echo a3
echo k1||echo k2&&echo k3
:dest5&& echo FAILURE
@   :     dest9>rubbish
goto :dest10:this is ignored
call :sub %%V%% "two words"
shift /1
start /W exitwith 5
>block.txt (echo x
echo y) 2>NUL
echo %V:~,2% %~dp0 %~nx0
(call )
(call)
dir /b
set /a "X=(1+2)*3<<2, Y=X%%7^0x1F|010, Z=-~!X" & set /a Y/=0
echo one>a.txt
copy a.txt+a.txt b.txt & copy /b a.txt b.txt & copy *.txt c.log & copy nul d.txt
ren *.txt *.bak & type nul & echo %~z1
setlocal & set Q=1 & cd .. & endlocal & setlocal enableextensions & call :x & endlocal & endlocal
