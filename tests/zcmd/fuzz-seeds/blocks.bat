if /i not "%~1"=="x" (echo a ^& b) else if exist y\z (echo c) 2>&1 | upcase && echo ok || echo no
(
echo %V:~1,3% %V:x=q% %*
) >> out.txt
